#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the core: it carries the text the user is shown.
class TessalyError : public std::runtime_error
{
public:
    explicit TessalyError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
