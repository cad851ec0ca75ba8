// Reading and arranging keys below HKEY_LOCAL_MACHINE for the Windows tests, in the ANSI
// calls the program uses, so GBK paths compare byte for byte.
#pragma once

#include <string>
#include <vector>

namespace reg {

// A key's values in their order as "name=data" (REG_SZ) or "name:type" (any other type). A
// string stored without its terminating NUL reads "name=data (no NUL)": Windows hands it back
// unterminated.
std::vector<std::string> Values(const std::string& path);
// A key's sub-keys by name, in the registry's order.
std::vector<std::string> SubKeys(const std::string& path);
bool Exists(const std::string& path);
// Creates the key where needed and writes a string value; false when refused.
bool Put(const std::string& path, const std::string& name, const std::string& data);
// Deletes a key with everything below it; a missing one is fine.
void Delete(const std::string& path);

}  // namespace reg
