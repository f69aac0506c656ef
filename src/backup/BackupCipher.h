#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Backups encrypted with a passphrase, so a lost stick or a shared folder does not give the clients' answers away.
// The file, all numbers little-endian:
//
//   offset  size  field
//        0     8  "T35CRYPT", which tells an encrypted backup from a database copy ("SQLite format 3")
//        8     1  format version, 1
//        9     8  Argon2id (crypto_pwhash_ALG_ARGON2ID13) operations limit
//       17     8  Argon2id memory limit in bytes
//       25    16  random salt
//       41     8  length of the database in bytes
//       49    24  XChaCha20-Poly1305 secretstream header
//       73    16  passphrase check: BLAKE2b of bytes 0..40, keyed with the second half of the derived key
//       89        the database in chunks of 64 KiB (the last one shorter), each pushed through the secretstream with
//                 the first half of the derived key, the header as the first chunk's additional data, the final tag
//                 on the last chunk
//
// The key is derived from the passphrase in its one form (passphraseForm), so the same words typed on another
// keyboard open the backup. The stored length tells a file cut short from an altered one before anything is
// decrypted; the final tag, not the length, is what proves the end: a file whose last chunk does not carry it is
// never accepted. A lost passphrase cannot be recovered: nothing in the file or the program can open it without.
// BackupEncryption and BackupDecryption write and read the format through the backup copy.
namespace BackupCipher {

inline constexpr QByteArrayView Magic = "T35CRYPT";
constexpr quint8 FormatVersion = 1;
constexpr qint64 HeaderSize = 89;
constexpr qint64 PlainChunk = 64 * 1024;
// Passphrases shorter than this are refused for a new backup.
constexpr qsizetype MinimumPassphrase = 8;

// What the derivation of a key costs: Argon2id's operations and memory limits.
struct Cost {
    quint64 opsLimit = 0;
    quint64 memLimit = 0; // bytes
};

// The cost new backups are written with (libsodium's interactive cost, operations 2, memory 64 MiB): about a fifth
// of a second on an ordinary office computer of today, and the memory a guessing attacker pays for every guess too.
Cost defaultCost();

// The cheapest cost Argon2id allows; for measuring and testing the encryption without the derivation.
Cost cheapestCost();

// Whether the passphrase typed twice for a new backup will do.
enum class Typed { Accepted, Mismatch, TooShort };
Typed checkTyped(const QString& first, const QString& again);

// A passphrase as the key of a version-1 file is derived from it: canonically composed, digits as ASCII, invisible
// marks and outer blanks left out, Arabic yeh and kaf as Persian yeh and keheh (keyboards differ in these), in UTF-8.
// Frozen with the format (PassphraseForm.cpp): the rules for examinee codes may change, these never do.
QByteArray passphraseForm(const QString& typed);

// Overwrites what a text holds (its own copy of the characters) and empties it.
void wipe(QString& text);
void wipe(QByteArray& bytes);

// What a backup file is, judged from its header and size before a passphrase is asked for, and why one that will not
// be decrypted is refused.
enum class Verdict {
    Good, // an encrypted backup of this format, as long as its header says (or, after decryption: decrypted)
    NotEncrypted, // does not start as an encrypted backup: a database copy, or something else
    UnknownVersion, // an encrypted backup of a format version this program does not know (made by a newer one)
    CutShort, // shorter than its header says, or ending before the final chunk
    Altered, // a byte changed, added or taken out: it fails authentication, or its header holds impossible values
    WrongPassphrase, // the passphrase check fails
    Failed, // the key could not be derived (not enough memory)
};

Verdict recognise(const QString& path);

// The size of the encrypted backup of a database of `length` bytes.
qint64 encryptedSize(qint64 length);

} // namespace BackupCipher
