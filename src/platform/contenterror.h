#pragma once

#include <QString>

#include <stdexcept>

// The one exception type of the content layer: a file that cannot be opened, a container or pack
// that is not valid, a script value that cannot be converted. The text is for the user.
class ContentError : public std::runtime_error
{
public:
    explicit ContentError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

private:
    QString m_message;
};
