#pragma once
// Log category of the single-instance hand-over ("tavrik.instance"): silent below warnings
// unless QT_LOGGING_RULES asks for more.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcInstance)
