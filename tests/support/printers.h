#pragma once
// How failing expectations print Qt values. Seen by every test file (the
// build includes it first), so each value type prints the same way in all.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
