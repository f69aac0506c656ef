#pragma once

#include "backup/BackupCipher.h"

#include <QByteArray>

#include <sodium.h>

#include <array>
#include <cstddef>

// What the encryption and the decryption of backups share: where each field of the header lies, the header read
// back, and the key derived from a passphrase. Included by the backup folder's own files only.
namespace BackupCipher::Detail {

constexpr qint64 versionAt = 8;
constexpr qint64 opsAt = 9;
constexpr qint64 memAt = 17;
constexpr qint64 saltAt = 25;
constexpr qint64 lengthAt = 41;
constexpr qint64 streamAt = 49;
constexpr qint64 checkAt = 73;
constexpr qint64 checkSize = 16;
constexpr qint64 sealedExtra = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr std::size_t keySize = crypto_secretstream_xchacha20poly1305_KEYBYTES;

static_assert(saltAt + crypto_pwhash_SALTBYTES == lengthAt);
static_assert(streamAt + crypto_secretstream_xchacha20poly1305_HEADERBYTES == checkAt);
static_assert(checkAt + checkSize == HeaderSize);

// A header whose derivation would cost more than this is refused as altered rather than run: a doctored file must
// not take the computer's memory or an hour of its time.
constexpr quint64 mostOps = 64;
constexpr quint64 mostMemory = 1024ULL * 1024 * 1024;

// Whether libsodium is ready (it is set up once, on first use).
bool sodiumReady();

quint64 number(const QByteArray& bytes, qint64 at);
void putNumber(QByteArray& bytes, qint64 at, quint64 value);

struct Parsed {
    Cost cost;
    qint64 length = 0;
};

// The header's verdict on its own, and on the `rest` of the file that follows it.
Verdict parse(const QByteArray& header, qint64 rest, Parsed& parsed);

// The derived key: the first half seals the chunks, the second keys the passphrase check. Wiped when it goes.
struct Keys {
    std::array<unsigned char, 2 * keySize> key {};
    crypto_secretstream_xchacha20poly1305_state state {};

    ~Keys()
    {
        sodium_memzero(key.data(), key.size());
        sodium_memzero(&state, sizeof state);
    }

    const unsigned char* streamKey() const { return key.data(); }
    const unsigned char* checkKey() const { return key.data() + keySize; }

    bool derive(QByteArray& passphrase, const unsigned char* salt, const Cost& cost)
    {
        const int failed = crypto_pwhash(key.data(), key.size(), passphrase.constData(),
            static_cast<unsigned long long>(passphrase.size()), salt, cost.opsLimit, static_cast<size_t>(cost.memLimit),
            crypto_pwhash_ALG_ARGON2ID13);
        wipe(passphrase);
        return failed == 0;
    }

    // The check of the fields the key is derived from (format, cost, salt). The rest of the header is proved by
    // the first chunk, whose additional data it is: changed, it reads as altered, not as a wrong passphrase.
    std::array<unsigned char, checkSize> check(const QByteArray& header) const
    {
        std::array<unsigned char, checkSize> value {};
        crypto_generichash(value.data(), value.size(), reinterpret_cast<const unsigned char*>(header.constData()),
            lengthAt, checkKey(), keySize);
        return value;
    }
};

} // namespace BackupCipher::Detail
