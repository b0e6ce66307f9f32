#pragma once
// Where the application path store lives and how a path is kept in it; the
// host and "Open.exe" both read and write it.
namespace launch {

// In the user's temporary folder.
inline constexpr const char* kStoreFileName = "Mirovanta2.Dat";
// One section per application ("1-4App"), the path under this key.
inline constexpr const char* kPathKey = "Path";

}  // namespace launch
