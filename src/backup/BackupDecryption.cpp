#include "backup/BackupDecryption.h"

#include "backup/CipherKeys.h"

namespace BackupCipher {

using namespace Detail;

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
    switch (m_keys->derive(m_passphrase, bytes + saltAt, parsed.cost, cancelFlag())) {
    case Keys::Derived::Done:
        break;
    case Keys::Derived::Cancelled:
        m_keys.reset();
        return false;
    case Keys::Derived::Failed:
        return refuse(Verdict::Failed);
    }
    if (crypto_verify_16(m_keys->check(m_header).data(), bytes + checkAt) != 0)
        return refuse(Verdict::WrongPassphrase);
    if (crypto_secretstream_xchacha20poly1305_init_pull(m_keys->state(), bytes + streamAt, m_keys->streamKey()) != 0)
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
    if (crypto_secretstream_xchacha20poly1305_pull(m_keys->state(), reinterpret_cast<unsigned char*>(m_plain.data()),
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
