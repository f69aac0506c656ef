#include "backup/BackupEncryption.h"

#include "backup/CipherKeys.h"

#include <cstring>

namespace BackupCipher {

using namespace Detail;

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
    m_keys = std::make_unique<Keys>();
    switch (m_keys->derive(m_passphrase, header + saltAt, m_cost, cancelFlag())) {
    case Keys::Derived::Done:
        break;
    case Keys::Derived::Cancelled:
        m_keys.reset();
        return false;
    case Keys::Derived::Failed:
        m_verdict = Verdict::Failed;
        return false;
    }
    crypto_secretstream_xchacha20poly1305_init_push(m_keys->state(), header + streamAt, m_keys->streamKey());
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
    crypto_secretstream_xchacha20poly1305_push(m_keys->state(), reinterpret_cast<unsigned char*>(m_sealed.data()),
        &sealedSize, reinterpret_cast<const unsigned char*>(data), static_cast<unsigned long long>(size), extra,
        extraSize,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    m_first = false;
    if (last)
        m_keys.reset();
    return put(m_sealed.constData(), static_cast<qint64>(sealedSize));
}

} // namespace BackupCipher
