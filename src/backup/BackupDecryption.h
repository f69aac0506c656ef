#pragma once

#include "backup/BackupCipher.h"
#include "backup/DatabaseCopy.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace BackupCipher {

namespace Detail {
class Keys;
}

// Reads an encrypted backup back into a database file, through DatabaseCopy; refuses (and says why in verdict()) a
// wrong passphrase, an unknown version, a file cut short or altered. Nothing it refuses reaches the target: the copy
// is a temporary file, removed when the copy is refused.
class Decryption : public DatabaseCopy::Transform {
public:
    explicit Decryption(const QString& passphrase);
    ~Decryption() override;

    qint64 headerSize() const override { return HeaderSize; }
    qint64 chunkSize() const override;
    bool begin(const QByteArray& header, qint64 rest, const DatabaseCopy::Put& put) override;
    bool chunk(const char* data, qint64 size, bool last, const DatabaseCopy::Put& put) override;

    Verdict verdict() const { return m_verdict; }

private:
    bool refuse(Verdict verdict);

    QByteArray m_passphrase;
    std::unique_ptr<Detail::Keys> m_keys;
    QByteArray m_header;
    QByteArray m_plain;
    bool m_first = true;
    bool m_ended = false;
    Verdict m_verdict = Verdict::Good;
};

} // namespace BackupCipher
