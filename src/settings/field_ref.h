// A settings field named by a pointer to member, whatever its type, and the
// conversions between a field and the configuration file's text. One-byte
// fields (bool8 and uint8 are the same type) are written signed and read as
// the low byte of the number, so 200 is stored as -56 and reads back as 200.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "settings/settings.h"

template <typename Record>
using FieldPtr = std::variant<uint8 Record::*, int32 Record::*, float32 Record::*, std::string Record::*>;

// The text a field is written as: signed decimal for integers (one-byte
// fields signed too), six decimals for floating point ("+Infinity",
// "-Infinity" and "NaN" for the values that have no digits), strings as they
// are.
std::string configValueText(uint8 value);
std::string configValueText(int32 value);
std::string configValueText(float32 value);
std::string configValueText(const std::string& value);

// Stores a value read from the configuration file: decimal integers (the low
// byte for one-byte fields), decimal numbers, or the text itself.
void assignConfigText(uint8& field, std::string_view text);
void assignConfigText(int32& field, std::string_view text);
void assignConfigText(float32& field, std::string_view text);
void assignConfigText(std::string& field, std::string_view text);

// A double narrowed to a float, with values beyond the float range becoming
// infinities instead of undefined behaviour.
float32 toFloat32(double value);
