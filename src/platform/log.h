#pragma once

#include <QLoggingCategory>

// The one logging category of the program; desktop sessions forward stderr to the journal.
Q_DECLARE_LOGGING_CATEGORY(lcPurrtick)
