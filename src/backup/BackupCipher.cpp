#include "backup/BackupCipher.h"

#include "text/CodeForms.h"

#include <QFile>
#include <QtEndian>

#include <sodium.h>

#include <cstring>
#include <limits>

namespace BackupCipher {

namespace {

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

struct Parsed {
    Cost cost;
    qint64 length = 0;
};

// The header's verdict on its own, and on the `rest` of the file that follows it.
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

} // namespace

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

QByteArray passphraseForm(const QString& typed)
{
    QString form = ExamineeCode::normalised(typed);
    for (QChar& c : form) {
        switch (c.unicode()) {
        case 0x064A: // Arabic yeh
        case 0x0649: // alef maksura, which some keyboards give for yeh
            c = QChar(0x06CC);
            break;
        case 0x0643: // Arabic kaf
            c = QChar(0x06A9);
            break;
        default:
            break;
        }
    }
    QByteArray bytes = form.toUtf8();
    wipe(form);
    return bytes;
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

Encryption::Encryption(const QString& passphrase, Cost cost)
    : m_passphrase(passphraseForm(passphrase))
    , m_cost(cost)
{
}

Encryption::~Encryption()
{
    wipe(m_passphrase);
}

bool Encryption::begin(const QByteArray&, qint64 rest, const DatabaseCopy::Put& put)
{
    m_keys = std::make_unique<Keys>();
    m_header = QByteArray(HeaderSize, '\0');
    auto* header = reinterpret_cast<unsigned char*>(m_header.data());
    std::memcpy(header, Magic.data(), Magic.size());
    header[versionAt] = FormatVersion;
    putNumber(m_header, opsAt, m_cost.opsLimit);
    putNumber(m_header, memAt, m_cost.memLimit);
    putNumber(m_header, lengthAt, static_cast<quint64>(rest));
    if (!sodiumReady()) {
        m_verdict = Verdict::Failed;
        return false;
    }
    randombytes_buf(header + saltAt, crypto_pwhash_SALTBYTES);
    if (!m_keys->derive(m_passphrase, header + saltAt, m_cost)) {
        m_verdict = Verdict::Failed;
        return false;
    }
    crypto_secretstream_xchacha20poly1305_init_push(&m_keys->state, header + streamAt, m_keys->streamKey());
    const auto check = m_keys->check(m_header);
    std::memcpy(header + checkAt, check.data(), check.size());
    m_sealed.resize(PlainChunk + sealedExtra);
    return put(m_header.constData(), m_header.size());
}

bool Encryption::chunk(const char* data, qint64 size, bool last, const DatabaseCopy::Put& put)
{
    unsigned long long sealedSize = 0;
    // The header rides along with the first chunk, so a header changed after the passphrase check still fails.
    const auto* extra = m_first ? reinterpret_cast<const unsigned char*>(m_header.constData()) : nullptr;
    const unsigned long long extraSize = m_first ? static_cast<unsigned long long>(m_header.size()) : 0;
    crypto_secretstream_xchacha20poly1305_push(&m_keys->state, reinterpret_cast<unsigned char*>(m_sealed.data()),
        &sealedSize, reinterpret_cast<const unsigned char*>(data), static_cast<unsigned long long>(size), extra,
        extraSize,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    m_first = false;
    if (last)
        m_keys.reset();
    return put(m_sealed.constData(), static_cast<qint64>(sealedSize));
}

Decryption::Decryption(const QString& passphrase)
    : m_passphrase(passphraseForm(passphrase))
{
}

Decryption::~Decryption()
{
    wipe(m_passphrase);
    if (!m_plain.isEmpty())
        sodium_memzero(m_plain.data(), static_cast<size_t>(m_plain.size()));
}

qint64 Decryption::chunkSize() const
{
    return PlainChunk + sealedExtra;
}

bool Decryption::refuse(Verdict verdict)
{
    m_verdict = verdict;
    m_keys.reset();
    wipe(m_passphrase);
    return false;
}

bool Decryption::begin(const QByteArray& header, qint64 rest, const DatabaseCopy::Put&)
{
    Parsed parsed;
    const Verdict judged = parse(header, rest, parsed);
    if (judged != Verdict::Good)
        return refuse(judged);
    if (!sodiumReady())
        return refuse(Verdict::Failed);
    m_header = header;
    m_keys = std::make_unique<Keys>();
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_header.constData());
    if (!m_keys->derive(m_passphrase, bytes + saltAt, parsed.cost))
        return refuse(Verdict::Failed);
    if (crypto_verify_16(m_keys->check(m_header).data(), bytes + checkAt) != 0)
        return refuse(Verdict::WrongPassphrase);
    if (crypto_secretstream_xchacha20poly1305_init_pull(&m_keys->state, bytes + streamAt, m_keys->streamKey()) != 0)
        return refuse(Verdict::Altered);
    m_plain.resize(PlainChunk);
    return true;
}

bool Decryption::chunk(const char* data, qint64 size, bool last, const DatabaseCopy::Put& put)
{
    if (m_ended || size < sealedExtra)
        return refuse(last && size == 0 ? Verdict::CutShort : Verdict::Altered);
    unsigned long long plainSize = 0;
    unsigned char tag = 0;
    const auto* extra = m_first ? reinterpret_cast<const unsigned char*>(m_header.constData()) : nullptr;
    const unsigned long long extraSize = m_first ? static_cast<unsigned long long>(m_header.size()) : 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&m_keys->state, reinterpret_cast<unsigned char*>(m_plain.data()),
            &plainSize, &tag, reinterpret_cast<const unsigned char*>(data), static_cast<unsigned long long>(size),
            extra, extraSize)
        != 0)
        return refuse(Verdict::Altered);
    m_first = false;
    const bool final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    // The final tag where the file ends, and nowhere else: a file that ends without it was cut short, one that goes
    // on after it was added to.
    if (final != last)
        return refuse(final ? Verdict::Altered : Verdict::CutShort);
    m_ended = final;
    if (final)
        m_keys.reset();
    return put(m_plain.constData(), static_cast<qint64>(plainSize));
}

} // namespace BackupCipher
