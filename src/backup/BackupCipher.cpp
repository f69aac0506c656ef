#include "backup/BackupCipher.h"

#include "backup/CipherKeys.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace BackupCipher {

namespace Detail {

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

quint64 number(const QByteArray& bytes, qint64 at)
{
    return qFromLittleEndian<quint64>(bytes.constData() + at);
}

void putNumber(QByteArray& bytes, qint64 at, quint64 value)
{
    qToLittleEndian<quint64>(value, bytes.data() + at);
}

Verdict parse(const QByteArray& header, qint64 rest, Parsed& parsed)
{
    if (header.size() < Magic.size() || QByteArrayView(header).first(Magic.size()) != Magic)
        return Verdict::NotEncrypted;
    if (header.size() <= versionAt)
        return Verdict::CutShort;
    if (static_cast<quint8>(header.at(versionAt)) != FormatVersion)
        return Verdict::UnknownVersion;
    if (header.size() < HeaderSize)
        return Verdict::CutShort;
    parsed.cost.opsLimit = number(header, opsAt);
    parsed.cost.memLimit = number(header, memAt);
    const quint64 length = number(header, lengthAt);
    if (parsed.cost.opsLimit < crypto_pwhash_OPSLIMIT_MIN || parsed.cost.opsLimit > mostOps
        || parsed.cost.memLimit < crypto_pwhash_MEMLIMIT_MIN || parsed.cost.memLimit > mostMemory
        || parsed.cost.opsLimit * parsed.cost.memLimit > mostWork
        || length > quint64(std::numeric_limits<qint64>::max() / 2))
        return Verdict::Altered;
    parsed.length = static_cast<qint64>(length);
    const qint64 expected = encryptedSize(parsed.length) - HeaderSize;
    if (rest < expected)
        return Verdict::CutShort;
    if (rest > expected)
        return Verdict::Altered;
    return Verdict::Good;
}

} // namespace Detail

using namespace Detail;

Cost defaultCost()
{
    return { crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE };
}

Cost cheapestCost()
{
    return { crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN };
}

Typed checkTyped(const QString& first, const QString& again)
{
    QByteArray a = passphraseForm(first);
    QByteArray b = passphraseForm(again);
    const bool same = a == b;
    const qsizetype length = QString::fromUtf8(a).toUcs4().size();
    wipe(a);
    wipe(b);
    if (!same)
        return Typed::Mismatch;
    return length < MinimumPassphrase ? Typed::TooShort : Typed::Accepted;
}

void wipe(QString& text)
{
    // data() gives this text its own characters first: one shared with another text (a field's) stays with it.
    if (!text.isEmpty())
        sodium_memzero(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
    text.clear();
}

void wipe(QByteArray& bytes)
{
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), static_cast<size_t>(bytes.size()));
    bytes.clear();
}

qint64 encryptedSize(qint64 length)
{
    const qint64 chunks = length == 0 ? 1 : (length + PlainChunk - 1) / PlainChunk;
    return HeaderSize + length + chunks * sealedExtra;
}

Verdict recognise(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Verdict::NotEncrypted;
    const QByteArray header = file.read(HeaderSize);
    Parsed parsed;
    return parse(header, file.size() - header.size(), parsed);
}

} // namespace BackupCipher
