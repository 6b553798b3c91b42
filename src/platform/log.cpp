#include "platform/log.h"

Q_LOGGING_CATEGORY(lcPurrtick, "purrtick")
