#pragma once
// Basic types of the class library the program is written against.
#include <cstdint>
#include <string>

// Text is UTF-8 throughout; routines that count characters say so.
using String = std::string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using WideChar = char16_t;

// Days since 1899-12-30, the time of day as the fraction.
using TDateTime = double;
