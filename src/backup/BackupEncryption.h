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

// Writes the database as an encrypted backup, through DatabaseCopy. The key is derived from a new random salt in
// begin(), on the copy's thread; the passphrase is wiped as soon as it has served, and the keys when this goes.
class Encryption : public DatabaseCopy::Transform {
public:
    Encryption(const QString& passphrase, Cost cost = defaultCost());
    ~Encryption() override;

    qint64 chunkSize() const override { return PlainChunk; }
    bool begin(const QByteArray& header, qint64 rest, const DatabaseCopy::Put& put) override;
    bool chunk(const char* data, qint64 size, bool last, const DatabaseCopy::Put& put) override;

    // After a refused copy: why (Failed: the key could not be derived).
    Verdict verdict() const { return m_verdict; }

private:
    QByteArray m_passphrase;
    Cost m_cost;
    std::unique_ptr<Detail::Keys> m_keys;
    QByteArray m_header;
    QByteArray m_sealed;
    bool m_first = true;
    Verdict m_verdict = Verdict::Good;
};

} // namespace BackupCipher
