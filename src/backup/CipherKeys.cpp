#include "backup/CipherKeys.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace BackupCipher::Detail {

namespace {

// One derivation, shared by the thread that runs it and the copy that waits for it; whichever lets go last frees it.
struct Derivation {
    Derivation(QByteArray& typed, const unsigned char* saltBytes, const Cost& costs)
        : passphrase(static_cast<char*>(sodium_malloc(std::max<qsizetype>(typed.size(), 1))))
        , passphraseSize(static_cast<std::size_t>(typed.size()))
        , key(static_cast<unsigned char*>(sodium_malloc(2 * keySize)))
        , cost(costs)
    {
        if (passphrase && passphraseSize > 0)
            std::memcpy(passphrase, typed.constData(), passphraseSize);
        std::memcpy(salt, saltBytes, sizeof salt);
        wipe(typed);
    }
    ~Derivation()
    {
        sodium_free(passphrase);
        sodium_free(key);
    }
    Derivation(const Derivation&) = delete;
    Derivation& operator=(const Derivation&) = delete;

    void run()
    {
        const bool ok = crypto_pwhash(key, 2 * keySize, passphrase, passphraseSize, salt, cost.opsLimit,
                            static_cast<size_t>(cost.memLimit), crypto_pwhash_ALG_ARGON2ID13)
            == 0;
        sodium_memzero(passphrase, passphraseSize);
        const std::lock_guard lock(mutex);
        succeeded = ok;
        finished = true;
        done.notify_all();
    }

    char* passphrase;
    std::size_t passphraseSize;
    unsigned char* key;
    unsigned char salt[crypto_pwhash_SALTBYTES] {};
    Cost cost;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool succeeded = false;
};

} // namespace

Keys::Keys()
    : m_secret(sodiumReady() ? static_cast<Secret*>(sodium_malloc(sizeof(Secret))) : nullptr)
{
    if (m_secret)
        sodium_memzero(m_secret, sizeof(Secret));
}

Keys::~Keys()
{
    sodium_free(m_secret);
}

Keys::Derived Keys::derive(
    QByteArray& passphrase, const unsigned char* salt, const Cost& cost, const std::atomic_bool* cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    if (!m_secret) {
        wipe(passphrase);
        return Derived::Failed;
    }
    const auto derivation = std::make_shared<Derivation>(passphrase, salt, cost);
    if (!derivation->passphrase || !derivation->key)
        return Derived::Failed;
    if (cancelled())
        return Derived::Cancelled;
    std::thread([derivation] { derivation->run(); }).detach();
    std::unique_lock lock(derivation->mutex);
    while (!derivation->finished) {
        if (cancelled())
            return Derived::Cancelled;
        derivation->done.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (!derivation->succeeded)
        return Derived::Failed;
    std::memcpy(m_secret->key, derivation->key, sizeof m_secret->key);
    return Derived::Done;
}

std::array<unsigned char, checkSize> Keys::check(const QByteArray& header) const
{
    std::array<unsigned char, checkSize> value {};
    crypto_generichash(value.data(), value.size(), reinterpret_cast<const unsigned char*>(header.constData()), lengthAt,
        checkKey(), keySize);
    return value;
}

} // namespace BackupCipher::Detail
