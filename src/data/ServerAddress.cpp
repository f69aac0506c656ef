#include "data/ServerAddress.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString decoded(QStringView text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

QString encoded(const QString& text, const QByteArray& keep = {})
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(keep));
}

std::optional<int> portNumber(const QString& text)
{
    bool number = false;
    const int port = text.toInt(&number);
    if (!number || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// A value as libpq's keyword=value text takes it: bare when it is a plain word, else in single quotes.
QString quotedValue(const QString& value)
{
    static const QRegularExpression plain(QStringLiteral("^[^\\s'\\\\;]+$"));
    if (plain.match(value).hasMatch())
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString unquotedValue(const QString& value)
{
    if (value.size() < 2 || !value.startsWith(QLatin1Char('\'')) || !value.endsWith(QLatin1Char('\'')))
        return value;
    QString plain;
    const QString inner = value.mid(1, value.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == QLatin1Char('\\') && i + 1 < inner.size())
            ++i;
        plain += inner[i];
    }
    return plain;
}

const QStringList& allowedKeywords()
{
    static const QStringList keywords {
        QStringLiteral("application_name"),
        QStringLiteral("fallback_application_name"),
        QStringLiteral("connect_timeout"),
        QStringLiteral("keepalives"),
        QStringLiteral("keepalives_idle"),
        QStringLiteral("keepalives_interval"),
        QStringLiteral("keepalives_count"),
        QStringLiteral("tcp_user_timeout"),
        QStringLiteral("hostaddr"),
        QStringLiteral("sslmode"),
        QStringLiteral("sslcompression"),
        QStringLiteral("sslcert"),
        QStringLiteral("sslkey"),
        QStringLiteral("sslrootcert"),
        QStringLiteral("sslcrl"),
        QStringLiteral("sslcrldir"),
        QStringLiteral("sslsni"),
        QStringLiteral("ssl_min_protocol_version"),
        QStringLiteral("ssl_max_protocol_version"),
        QStringLiteral("requirepeer"),
        QStringLiteral("gssencmode"),
        QStringLiteral("krbsrvname"),
        QStringLiteral("gsslib"),
        QStringLiteral("channel_binding"),
        QStringLiteral("service"),
        QStringLiteral("target_session_attrs"),
    };
    return keywords;
}

} // namespace

bool ServerAddress::allowedKeyword(const QString& keyword)
{
    return allowedKeywords().contains(keyword);
}

bool ServerAddress::optionsAllowed() const
{
    // Read as the driver reads it: ';' ends an option, the keyword is what comes before '=', blanks trimmed.
    for (const QString& option : options.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (option.trimmed().isEmpty())
            continue;
        if (equals <= 0 || !allowedKeyword(option.left(equals).trimmed()))
            return false;
    }
    return true;
}

QString ServerAddress::schemaName() const
{
    return schema.isEmpty() ? QStringLiteral("public") : schema;
}

QString ServerAddress::masked(const QString& uri)
{
    QString text = uri;
    // user:password@ in the authority.
    static const QRegularExpression inAuthority(QStringLiteral("^(\\s*[A-Za-z]+://[^/?@:]*:)[^/?]*@"));
    text.replace(inAuthority, QStringLiteral("\\1***@"));
    // A parameter whose keyword, however written, speaks of a password.
    const qsizetype mark = text.indexOf(QLatin1Char('?'));
    if (mark < 0)
        return text;
    QStringList pairs = text.mid(mark + 1).split(QLatin1Char('&'));
    for (QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        const QString keyword = decoded(QStringView(pair).left(equals < 0 ? pair.size() : equals));
        if (keyword.contains(QLatin1String("pass"), Qt::CaseInsensitive))
            pair = (equals < 0 ? pair : pair.left(equals)) + QStringLiteral("=***");
    }
    return text.left(mark + 1) + pairs.join(QLatin1Char('&'));
}

std::optional<ServerAddress> ServerAddress::fromUri(const QString& uri)
{
    QString rest = uri.trimmed();
    static const QStringList schemes { QStringLiteral("postgresql://"), QStringLiteral("postgres://") };
    bool known = false;
    for (const QString& scheme : schemes) {
        if (rest.startsWith(scheme, Qt::CaseInsensitive)) {
            rest = rest.mid(scheme.size());
            known = true;
            break;
        }
    }
    if (!known)
        return std::nullopt;

    ServerAddress address;
    QString query;
    if (const qsizetype mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    QString authority = rest;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        authority = rest.left(slash);
        address.database = decoded(QStringView(rest).mid(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString user = authority.left(at);
        if (user.contains(QLatin1Char(':')))
            return std::nullopt; // a password written into the URI
        address.user = decoded(user);
        authority = authority.mid(at + 1);
    }
    if (authority.contains(QLatin1Char(',')))
        return std::nullopt;
    QString host = authority;
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        const QString after = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(QLatin1Char(':')))
                return std::nullopt;
            port = after.mid(1);
        }
    } else if (const qsizetype colon = host.indexOf(QLatin1Char(':')); colon >= 0) {
        port = host.mid(colon + 1);
        host.truncate(colon);
    }
    address.host = decoded(host);
    if (!port.isEmpty()) {
        const std::optional<int> number = portNumber(port);
        if (!number)
            return std::nullopt;
        address.port = *number;
    }

    QList<std::pair<QString, QString>> options;
    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return std::nullopt;
        // A keyword is taken as written: one percent-encoded, or with blanks or ';' in it, would reach the driver as
        // another keyword than the one looked at here.
        const QString keyword = pair.left(equals);
        const QString value = decoded(QStringView(pair).mid(equals + 1));
        if (keyword == QLatin1String("host")) {
            if (value.contains(QLatin1Char(',')))
                return std::nullopt;
            address.host = value;
        } else if (keyword == QLatin1String("port")) {
            const std::optional<int> number = portNumber(value);
            if (!number)
                return std::nullopt;
            address.port = *number;
        } else if (keyword == QLatin1String("dbname")) {
            address.database = value;
        } else if (keyword == QLatin1String("user")) {
            address.user = value;
        } else if (!allowedKeyword(keyword) || value.contains(QLatin1Char(';'))) {
            // No password in clear text, nor a keyword the program does not know; and the driver reads ';' as the
            // end of an option.
            return std::nullopt;
        } else {
            options.append({ keyword, value });
        }
    }
    address.options = joinOptions(options);
    return address;
}

QString ServerAddress::toUri() const
{
    QString uri = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        uri += encoded(user) + QLatin1Char('@');
    QStringList query;
    const bool socket = host.startsWith(QLatin1Char('/'));
    if (socket) {
        query << QStringLiteral("host=") + encoded(host, "/");
        if (port != 5432)
            query << QStringLiteral("port=%1").arg(port);
    } else if (!host.isEmpty()) {
        uri += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : encoded(host);
        uri += QStringLiteral(":%1").arg(port);
    } else if (port != 5432) {
        query << QStringLiteral("port=%1").arg(port);
    }
    uri += QLatin1Char('/') + encoded(database);
    for (const auto& [keyword, value] : optionPairs())
        query << encoded(keyword) + QLatin1Char('=') + encoded(value);
    if (!query.isEmpty())
        uri += QLatin1Char('?') + query.join(QLatin1Char('&'));
    return uri;
}

QString ServerAddress::displayName() const
{
    QString name;
    if (!user.isEmpty())
        name += user + QLatin1Char('@');
    name += host.isEmpty() ? QStringLiteral("localhost") : host;
    name += QStringLiteral(":%1/").arg(port) + database;
    return name;
}

QList<std::pair<QString, QString>> ServerAddress::optionPairs() const
{
    QList<std::pair<QString, QString>> pairs;
    for (const QString& option : options.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        pairs.append({ option.left(equals).trimmed(), unquotedValue(option.mid(equals + 1).trimmed()) });
    }
    return pairs;
}

QString ServerAddress::joinOptions(const QList<std::pair<QString, QString>>& pairs)
{
    QStringList parts;
    for (const auto& [keyword, value] : pairs)
        parts << keyword + QLatin1Char('=') + quotedValue(value);
    return parts.join(QLatin1Char(';'));
}
