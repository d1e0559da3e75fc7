#pragma once

// The logging category of the program's own code (src/app), "velbrook.app": what the program
// drops or gives up on leaves one debug line here.

#include <QLoggingCategory>

inline const QLoggingCategory& lcApp()
{
    static const QLoggingCategory category("velbrook.app", QtInfoMsg); // debug lines on demand
    return category;
}
