// Text of the core (UTF-8) as Qt text.
#pragma once

#include <QString>
#include <string_view>

inline QString qt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
