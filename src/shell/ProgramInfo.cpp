#include "shell/ProgramInfo.h"

namespace quillon {

QString programVersion() { return QStringLiteral(QUILLON_VERSION); }

std::optional<QString> terminalAnswer(const QStringList& arguments, const QString& program,
                                      const QString& usage)
{
    if (arguments.size() != 1) return std::nullopt;
    if (arguments.front() == QLatin1String("--version"))
        return program + QLatin1Char(' ') + programVersion() + '\n';
    if (arguments.front() == QLatin1String("--help")) return usage;
    return std::nullopt;
}

} // namespace quillon
