#include "command_line.h"

namespace wirtello {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

QStringList splitWindowsCommandLine(const QString& commandLine)
{
    QStringList result;
    qsizetype pos = 0;
    const qsizetype size = commandLine.size();
    while (pos < size && isBlank(commandLine[pos]))
        ++pos;
    if (pos >= size)
        return result;

    // The program name: quotes only group, backslashes are plain.
    QString program;
    bool quoted = false;
    while (pos < size && (quoted || !isBlank(commandLine[pos]))) {
        if (commandLine[pos] == QLatin1Char('"'))
            quoted = !quoted;
        else
            program += commandLine[pos];
        ++pos;
    }
    result << program;

    while (true) {
        while (pos < size && isBlank(commandLine[pos]))
            ++pos;
        if (pos >= size)
            break;
        QString argument;
        quoted = false;
        while (pos < size && (quoted || !isBlank(commandLine[pos]))) {
            const QChar c = commandLine[pos];
            if (c == QLatin1Char('\\')) {
                qsizetype count = 0;
                while (pos < size && commandLine[pos] == QLatin1Char('\\')) {
                    ++count;
                    ++pos;
                }
                if (pos < size && commandLine[pos] == QLatin1Char('"')) {
                    argument += QString(count / 2, QLatin1Char('\\'));
                    if (count % 2 == 1) {
                        argument += QLatin1Char('"');
                        ++pos;
                    }
                } else {
                    argument += QString(count, QLatin1Char('\\'));
                }
                continue;
            }
            if (c == QLatin1Char('"')) {
                if (quoted && pos + 1 < size && commandLine[pos + 1] == QLatin1Char('"')) {
                    argument += QLatin1Char('"');
                    pos += 2;
                    continue;
                }
                quoted = !quoted;
                ++pos;
                continue;
            }
            argument += c;
            ++pos;
        }
        result << argument;
    }
    return result;
}

} // namespace wirtello
