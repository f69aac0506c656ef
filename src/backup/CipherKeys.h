#pragma once

#include "backup/BackupCipher.h"

#include <QByteArray>

#include <sodium.h>

#include <array>
#include <atomic>
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

// Version-1 files are only ever written at the program's own cost (defaultCost): a header asking for more than four
// times that (more passes, more memory, or more of both together) is refused as altered before anything is derived,
// so a doctored file cannot take the computer's memory or minutes of its time.
constexpr quint64 mostOps = 4;
constexpr quint64 mostMemory = 256ULL * 1024 * 1024;
constexpr quint64 mostWork = 4 * 2 * 64ULL * 1024 * 1024; // passes times memory

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

// The derived key: the first half seals the chunks, the second keys the passphrase check. Both it and the stream's
// state (which holds a key of its own) live in libsodium's guarded memory, kept out of swap and wiped when freed.
class Keys {
public:
    Keys();
    ~Keys();
    Keys(const Keys&) = delete;
    Keys& operator=(const Keys&) = delete;

    bool valid() const { return m_secret != nullptr; }
    const unsigned char* streamKey() const { return m_secret->key; }
    const unsigned char* checkKey() const { return m_secret->key + keySize; }
    crypto_secretstream_xchacha20poly1305_state* state() { return &m_secret->state; }

    enum class Derived { Done, Failed, Cancelled };
    // Derives the key from `passphrase` (wiped here) on a thread of its own, so that setting `*cancel` ends the wait
    // at once: the derivation then finishes unseen and its memory is wiped and freed.
    Derived derive(QByteArray& passphrase, const unsigned char* salt, const Cost& cost, const std::atomic_bool* cancel);

    // The check of the fields the key is derived from (format, cost, salt). The rest of the header is proved by
    // the first chunk, whose additional data it is: changed, it reads as altered, not as a wrong passphrase.
    std::array<unsigned char, checkSize> check(const QByteArray& header) const;

private:
    struct Secret {
        unsigned char key[2 * keySize];
        crypto_secretstream_xchacha20poly1305_state state;
    };
    Secret* m_secret = nullptr;
};

} // namespace BackupCipher::Detail
