#include "store/StoreVerifier.h"

#include <map>
#include <vector>

#include "store/TSingleFileSystem.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

class Walker {
 public:
  explicit Walker(TSingleFileSystem& fs) : fs_(fs), pages_(fs.Pages()), free_(fs.FreeSpace()) {
    data_.resize(size_t(pages_.DataSize()));
  }

  StoreVerifyReport Run() {
    const StoreHeader& h = pages_.Header();
    // A store without pages holds only its 256-byte header.
    const int64_t expected = h.pageCount > 1 ? int64_t(h.pageCount) * h.pageSize : 256;
    if (pages_.File().Size() < expected)
      Damage("store is " + std::to_string(pages_.File().Size()) + " bytes, its " +
             std::to_string(h.pageCount) + " pages need " + std::to_string(expected));
    for (int32_t p = 1; p < h.pageCount; ++p) {
      if (free_.IsMapPage(p)) Claim(p, "allocation map");
    }
    CheckMaps();
    const auto& dirPages = fs_.Directory().PageList();
    for (size_t i = 0; i < dirPages.size(); ++i) {
      const size_t bytes = TDIRManager::kEntriesPerPage * kDirEntryBytes;
      CheckPage(dirPages[i], PageKind::Directory, bytes, "directory page " + std::to_string(i));
      Claim(dirPages[i], "directory");
    }
    for (const StoreFileInfo& info : fs_.List()) CheckFile(info);
    for (int32_t p = 1; p < h.pageCount; ++p) {
      const bool owned = owner_.count(p) != 0;
      if (owned && free_.IsFree(p))
        Damage("page " + std::to_string(p) + " (" + owner_[p] + ") is marked free");
      else if (!owned && !free_.IsFree(p))
        report_.warnings.push_back("page " + std::to_string(p) + " is used by nothing (leaked)");
    }
    return report_;
  }

 private:
  void Damage(const std::string& text) { report_.damage.push_back(text); }

  void Claim(int32_t page, const std::string& who) {
    auto [it, fresh] = owner_.emplace(page, who);
    if (!fresh)
      Damage("page " + std::to_string(page) + " belongs to both " + it->second + " and " + who);
  }

  bool CheckPage(int32_t page, PageKind kind, size_t bytes, const std::string& what) {
    ++report_.pagesChecked;
    PageHeader ph;
    if (!pages_.ReadPage(page, ph, data_.data(), bytes, true)) {
      const int code = pages_.LastError();
      Damage(what + ": page " + std::to_string(page) +
             (code == kErrChecksum ? " checksum mismatch"
                                   : " unreadable (error " + std::to_string(code) + ")"));
      return false;
    }
    if (ph.pageKind != static_cast<uint8_t>(kind)) {
      Damage(what + ": page " + std::to_string(page) + " has kind " + std::to_string(ph.pageKind) +
             ", expected " + std::to_string(static_cast<int>(kind)));
      return false;
    }
    return true;
  }

  void CheckMaps() {
    const StoreHeader& h = pages_.Header();
    const int32_t pfsStride = free_.PagesPerPfs();
    const int32_t gamStride = free_.ExtentsPerGam() * pages_.ExtentPageCount();
    const size_t d = size_t(pages_.DataSize());
    for (int32_t k = 0; k < h.pfsPageCount; ++k)
      CheckPage(1 + k * pfsStride, PageKind::PFS, d, "PFS map " + std::to_string(k));
    for (int32_t k = 0; k < h.gamPageCount; ++k) {
      CheckPage(2 + k * gamStride, PageKind::GAM, d, "GAM map " + std::to_string(k));
      CheckPage(3 + k * gamStride, PageKind::SGAM, d, "SGAM map " + std::to_string(k));
    }
  }

  void CheckFile(const StoreFileInfo& info) {
    ++report_.filesChecked;
    const DirEntry& entry = fs_.Directory().ReadItem(info.index);
    const std::string name = "file \"" + info.name + "\"";
    if (entry.size < 0) {
      Damage(name + ": negative size");
      return;
    }
    if (entry.firstMapPageNo == -1) {
      if (entry.size > 0)
        Damage(name + ": " + std::to_string(entry.size) + " bytes but no page map");
      return;
    }
    const TUserFilePageMapManager::Maps* maps = nullptr;
    try {
      maps = &fs_.PageMaps().GetMaps(entry);
    } catch (const std::exception& e) {
      Damage(name + ": " + e.what());
      return;
    }
    const size_t d = size_t(pages_.DataSize());
    for (size_t i = 0; i < maps->mapPages.size(); ++i) {
      CheckPage(maps->mapPages[i], PageKind::PageMap, d, name + " map page " + std::to_string(i));
      Claim(maps->mapPages[i], name + " map");
    }
    for (size_t j = 0; j < maps->dataPages.size(); ++j) {
      CheckPage(maps->dataPages[j], PageKind::Data, d, name + " data page " + std::to_string(j));
      Claim(maps->dataPages[j], name);
    }
  }

  TSingleFileSystem& fs_;
  TPageFileManager& pages_;
  TFreeSpaceManager& free_;
  std::vector<uint8_t> data_;
  std::map<int32_t, std::string> owner_;
  StoreVerifyReport report_;
};

}  // namespace

StoreVerifyReport VerifyStore(TSingleFileSystem& store) { return Walker(store).Run(); }

}  // namespace store
