#include "SfsCommands.h"

#include <cstdio>
#include <ctime>
#include <iomanip>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "platform/File.h"
#include "store/Errors.h"
#include "store/StoreVerifier.h"
#include "store/TSingleFileSystem.h"
#include "store/engine/TDIRManager.h"
#include "store/stream/TSFSFileStream.h"

namespace sfs {
namespace {

using store::TSingleFileSystem;

constexpr size_t kChunk = 1 << 20;

const char* kUsage =
    "usage: sfs create STORE [--password P] [--compression CODE] [--part-size N]\n"
    "       sfs ls STORE [--password P]\n"
    "       sfs put STORE NAME FILE [--password P] [--file-password P] [--compression CODE]\n"
    "       sfs get STORE NAME FILE [--password P] [--file-password P]\n"
    "       sfs rm STORE NAME [--password P]\n"
    "       sfs verify STORE [--password P]\n"
    "       sfs --help | -h\n";

// Usage errors print the usage and exit with 2.
int UsageError(Context& c, const std::string& message = std::string()) {
  if (!message.empty()) c.err << "sfs: " << message << "\n";
  c.err << kUsage;
  return 2;
}

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that must exist and be readable: "cannot open PATH: REASON" otherwise.
void NeedReadable(const std::string& path) {
  const std::string problem = platform::ReadProblem(path);
  if (!problem.empty()) throw Failure("cannot open " + path + ": " + problem);
}

bool IsInvalidPassword(const std::exception& e) {
  return std::string(e.what()).find("invalid password specified") != std::string::npos;
}

// Opens a store, asking for its password at the terminal when it has one and none was given.
std::unique_ptr<TSingleFileSystem> OpenStore(Context& c, const std::string& path, uint16_t mode,
                                             const Options& o) {
  NeedReadable(path);
  try {
    return std::make_unique<TSingleFileSystem>(path, mode, o.password.value_or(""));
  } catch (const std::exception& e) {
    if (!IsInvalidPassword(e) || o.password) throw;
  }
  std::string typed;
  if (!c.askSecret || !c.askSecret("Password for " + path + ": ", typed))
    throw Failure("store " + path + " has a password; give it with --password");
  return std::make_unique<TSingleFileSystem>(path, mode, typed);
}

void AskForFilePasswords(Context& c, TSingleFileSystem& fs) {
  fs.OnPasswordRequest = [&c](TSingleFileSystem&, const std::string& name, std::string& password) {
    return c.askSecret && c.askSecret("Password for " + name + ": ", password);
  };
}

std::unique_ptr<store::Stream> OpenFileStream(TSingleFileSystem& fs, const std::string& name,
                                              uint16_t mode, const Options& o) {
  const std::string password = o.filePassword.value_or("");
  // Code 0 takes the store's default compression; opening finds the framing in the file.
  return std::make_unique<store::TSFSFileStream>(&fs, name, mode, password, "", "",
                                                 static_cast<uint8_t>(o.compression.value_or(0)));
}

std::unique_ptr<store::Stream> OpenFile(TSingleFileSystem& fs, const std::string& name,
                                        uint16_t mode, const Options& o) {
  try {
    return OpenFileStream(fs, name, mode, o);
  } catch (const store::StoreError&) {
    if (mode != store::kModeCreate && fs.LastError() == -1) {
      for (const auto& info : fs.List()) {
        if (info.hasPassword && fs.StoreFileExists(name) &&
            fs.Directory().Resolve(name) == info.index)
          throw Failure("file " + name + " has its own password; the one given was refused");
      }
    }
    throw;
  }
}

std::string FormatTime(int64_t stamp) {
  // 100-ns intervals since 1601 (UTC) to local "YYYY-MM-DD HH:MM:SS".
  const int64_t unixSeconds = stamp / 10000000 - 11644473600LL;
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

int Fail(Context& c, const std::string& message) {
  c.err << "sfs: " << message << "\n";
  return 1;
}

template <typename Action>
int Guard(Context& c, Action action) {
  try {
    return action();
  } catch (const std::exception& e) {
    return Fail(c, e.what());
  }
}

bool ParseInt(const std::string& text, int64_t& value) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    value = std::stoll(text, &used, 10);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size();
}

}  // namespace

int Create(Context& c, const std::string& path, const Options& o) {
  return Guard(c, [&] {
    const int code = o.compression.value_or(0);
    TSingleFileSystem fs(path, store::kModeCreate, o.password.value_or(""), "", "",
                         static_cast<uint8_t>(code), o.partSize.value_or(0));
    c.out << "created " << path << (fs.HasPassword() ? " (password protected)" : "") << "\n";
    return 0;
  });
}

int List(Context& c, const std::string& path, const Options& o) {
  return Guard(c, [&] {
    auto fs = OpenStore(c, path, store::kModeReadOnly, o);
    // Columns: stream size, bytes stored, compression code, last write, flags, name. Files with
    // their own password show their stored size only (nobody is asked while listing).
    for (const auto& info : fs->List()) {
      std::string size = "?", code = "-";
      if (!info.hasPassword || o.filePassword) {
        try {
          store::TSFSFileStream stream(fs.get(), info.name, store::kModeReadOnly,
                                       o.filePassword.value_or(""));
          size = std::to_string(stream.Size());
          code = std::to_string(stream.Inner().Compression());
        } catch (const std::exception&) {
          size = "damaged";
        }
      }
      c.out << std::setw(12) << size << std::setw(12) << info.size << std::setw(3) << code << "  "
            << FormatTime(info.lastWriteTime) << "  " << (info.hasPassword ? "locked " : "       ")
            << info.name << "\n";
    }
    return 0;
  });
}

int Put(Context& c, const std::string& path, const std::string& name, const std::string& file,
        const Options& o) {
  return Guard(c, [&] {
    NeedReadable(file);
    platform::File source(file, platform::FileAccess::Read,
                          platform::FileDisposition::OpenExisting);
    auto fs = OpenStore(c, path, store::kModeReadWrite, o);
    auto stream = OpenFile(*fs, name, store::kModeCreate, o);
    std::vector<uint8_t> buffer(kChunk);
    int64_t total = 0;
    for (;;) {
      const size_t got = source.Read(buffer.data(), buffer.size());
      if (got == 0) break;
      if (stream->Write(buffer.data(), got) != got)
        throw Failure("store " + path + " could not take the data (error " +
                      std::to_string(fs->LastError()) + ")");
      total += int64_t(got);
    }
    stream->Flush();
    c.out << "stored " << name << " (" << total << " bytes)\n";
    return 0;
  });
}

int Get(Context& c, const std::string& path, const std::string& name, const std::string& file,
        const Options& o) {
  return Guard(c, [&] {
    auto fs = OpenStore(c, path, store::kModeReadOnly, o);
    AskForFilePasswords(c, *fs);
    if (!fs->StoreFileExists(name)) throw Failure("no file " + name + " in " + path);
    auto stream = OpenFile(*fs, name, store::kModeReadOnly, o);
    const int64_t size = stream->Size();
    // Written beside the target and moved over it at the end, so a failed read leaves an
    // existing target as it was.
    const std::string temp = platform::SiblingTempPath(file);
    {
      platform::File target(temp, platform::FileAccess::Write,
                            platform::FileDisposition::CreateAlways);
      std::vector<uint8_t> buffer(kChunk);
      int64_t done = 0;
      try {
        while (done < size) {
          const size_t want = size_t(std::min<int64_t>(int64_t(buffer.size()), size - done));
          const size_t got = stream->Read(buffer.data(), want);
          if (got == 0)
            throw Failure("file " + name + " is damaged: read stopped at byte " +
                          std::to_string(done) + " of " + std::to_string(size) + " (error " +
                          std::to_string(fs->LastError()) + ")");
          target.Write(buffer.data(), got);
          done += int64_t(got);
        }
      } catch (...) {
        target.Close();
        platform::RemoveFile(temp);
        throw;
      }
    }
    platform::MoveFileOver(temp, file);
    c.out << "wrote " << file << " (" << size << " bytes)\n";
    return 0;
  });
}

int Remove(Context& c, const std::string& path, const std::string& name, const Options& o) {
  return Guard(c, [&] {
    auto fs = OpenStore(c, path, store::kModeReadWrite, o);
    if (!fs->StoreFileExists(name)) throw Failure("no file " + name + " in " + path);
    if (!fs->FileDelete(name)) throw Failure("file " + name + " could not be removed");
    c.out << "removed " << name << "\n";
    return 0;
  });
}

int Verify(Context& c, const std::string& path, const Options& o) {
  return Guard(c, [&] {
    std::unique_ptr<TSingleFileSystem> fs;
    try {
      fs = OpenStore(c, path, store::kModeReadOnly, o);
    } catch (const Failure&) {
      throw;
    } catch (const std::exception& e) {
      if (IsInvalidPassword(e)) throw;
      c.out << "damaged: " << e.what() << "\n";
      return 1;
    }
    const store::StoreVerifyReport report = store::VerifyStore(*fs);
    for (const auto& line : report.damage) c.out << "damaged: " << line << "\n";
    for (const auto& line : report.warnings) c.out << "warning: " << line << "\n";
    c.out << (report.Ok() ? "ok: " : "damaged: ") << report.filesChecked << " files, "
          << report.pagesChecked << " pages checked\n";
    return report.Ok() ? 0 : 1;
  });
}

int Run(Context& c, const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  Options o;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      c.out << kUsage;
      return 0;
    }
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* flag) -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      (void)flag;
      return args[++i];
    };
    if (a == "--password" || a == "--file-password" || a == "--compression" || a == "--part-size") {
      const auto v = value(a.c_str());
      if (!v) return Fail(c, a + " needs a value");
      int64_t number = 0;
      if (a == "--password")
        o.password = *v;
      else if (a == "--file-password")
        o.filePassword = *v;
      else if (!ParseInt(*v, number))
        return Fail(c, a + " needs a number, not \"" + *v + "\"");
      else if (a == "--compression") {
        if (number < 0 || number > 9) return Fail(c, "compression code must be 0 to 9, not " + *v);
        o.compression = static_cast<int>(number);
      } else {
        if (number < 380) return Fail(c, "part size must be at least 380 bytes, not " + *v);
        o.partSize = number;
      }
    } else if (a.size() >= 2 && a[0] == '-') {
      return UsageError(c, "unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.empty()) return UsageError(c);
  const std::string& action = positional[0];
  auto need = [&](size_t n) { return positional.size() == n + 1; };
  if (action == "create" && need(1)) return Create(c, positional[1], o);
  if (action == "ls" && need(1)) return List(c, positional[1], o);
  if (action == "put" && need(3)) return Put(c, positional[1], positional[2], positional[3], o);
  if (action == "get" && need(3)) return Get(c, positional[1], positional[2], positional[3], o);
  if (action == "rm" && need(2)) return Remove(c, positional[1], positional[2], o);
  if (action == "verify" && need(1)) return Verify(c, positional[1], o);
  return UsageError(c);
}

}  // namespace sfs
