#pragma once
// A full walk over an open store that reports damage instead of failing on the first fault:
// every directory page, every file's page-map chain and data pages (checksums verified on the
// bytes as stored, so no file password is needed), page kinds, pages claimed twice, pages in
// use but marked free, and pages that nothing owns but the maps mark used (leaks).
#include <cstdint>
#include <string>
#include <vector>

namespace store {

class TSingleFileSystem;

struct StoreVerifyReport {
  std::vector<std::string> damage;    // faults that lose or corrupt data
  std::vector<std::string> warnings;  // leaked pages and other harmless findings
  int32_t pagesChecked = 0;
  int32_t filesChecked = 0;
  bool Ok() const { return damage.empty(); }
};

StoreVerifyReport VerifyStore(TSingleFileSystem& store);

}  // namespace store
