#pragma once

// The program file's version record.
namespace Version {
inline constexpr char kProductName[] = "web";
inline constexpr char kInternalName[] = "Velt Browser";
inline constexpr char kOriginalFilename[] = "Velt Browser.exe";
inline constexpr char kFileVersion[] = "1.00";
inline constexpr char kProductVersion[] = "1.00";
} // namespace Version
