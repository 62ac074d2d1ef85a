#include "platform/Log.h"

namespace quillon::log {

// Debug and info lines are off by default; QT_LOGGING_RULES turns them on.
Q_LOGGING_CATEGORY(fonts, "quillon.fonts", QtWarningMsg)
Q_LOGGING_CATEGORY(catalogue, "quillon.catalogue", QtWarningMsg)
Q_LOGGING_CATEGORY(associations, "quillon.associations", QtWarningMsg)
Q_LOGGING_CATEGORY(settings, "quillon.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(instance, "quillon.instance", QtWarningMsg)
Q_LOGGING_CATEGORY(printing, "quillon.printing", QtWarningMsg)

} // namespace quillon::log
