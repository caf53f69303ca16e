// The race's floor: the least any installer must do with a payload, as a whole process.
// It inflates one zlib stream and writes its bytes, in order, into the files a list names;
// no checksums, no temporary copy, no log, no time stamps, no registry.
//
//   race_floor LIST STREAM DEST
//
// LIST has one line per entry, in stream order: "D relative\path" for a folder (made before
// anything inside it), "F size relative\path" for a file, whose size bytes come next in
// the inflated stream. Exit code 0 when every file was written whole, 1 otherwise.

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kBufferBytes = 1 << 20;

struct Entry {
  bool folder;
  unsigned long long size;
  std::string path;
};

bool ReadList(const char* path, std::vector<Entry>* entries) {
  std::ifstream in(path);
  std::string kind;
  while (in >> kind) {
    Entry entry{kind == "D", 0, {}};
    if (!entry.folder && !(in >> entry.size)) return false;
    in.ignore(1);
    if (!std::getline(in, entry.path) || (kind != "D" && kind != "F")) return false;
    entries->push_back(entry);
  }
  return in.eof();
}

// Hands the inflated bytes to the files in list order, opening each when its first byte
// arrives, so that empty files are made too.
class FileSink {
 public:
  FileSink(const std::vector<Entry>& entries, const std::string& destination)
      : entries_(entries), destination_(destination) {}
  ~FileSink() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }

  bool Take(const char* bytes, size_t count) {
    while (true) {
      if (!OpenNextWhenDue()) return false;
      if (count == 0 || next_ > entries_.size()) return count == 0;
      const DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(count, left_));
      DWORD written = 0;
      if (!WriteFile(file_, bytes, chunk, &written, nullptr) || written != chunk) return false;
      bytes += chunk;
      count -= chunk;
      left_ -= chunk;
    }
  }
  bool Complete() { return OpenNextWhenDue() && next_ > entries_.size(); }

 private:
  // Closes a finished file and walks on to the next file, making folders on the way.
  bool OpenNextWhenDue() {
    while (left_ == 0 && next_ <= entries_.size()) {
      if (file_ != INVALID_HANDLE_VALUE && !CloseHandle(file_)) return false;
      file_ = INVALID_HANDLE_VALUE;
      if (next_ == entries_.size()) {
        ++next_;
        return true;
      }
      const Entry& entry = entries_[next_++];
      const std::string path = destination_ + "\\" + entry.path;
      if (entry.folder) {
        if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        continue;
      }
      file_ = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ == INVALID_HANDLE_VALUE) return false;
      left_ = entry.size;
      if (left_ > 0) return true;
    }
    return true;
  }

  const std::vector<Entry>& entries_;
  std::string destination_;
  size_t next_ = 0;  // past the end by one once every entry is done
  unsigned long long left_ = 0;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

bool Inflate(HANDLE stream, FileSink* sink) {
  std::unique_ptr<char[]> in(new char[kBufferBytes]);
  std::unique_ptr<char[]> out(new char[kBufferBytes]);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  int result = Z_OK;
  bool ok = true;
  while (ok && result != Z_STREAM_END) {
    DWORD read = 0;
    if (!ReadFile(stream, in.get(), kBufferBytes, &read, nullptr) || read == 0) {
      ok = false;
      break;
    }
    z.next_in = reinterpret_cast<Bytef*>(in.get());
    z.avail_in = read;
    do {
      z.next_out = reinterpret_cast<Bytef*>(out.get());
      z.avail_out = kBufferBytes;
      result = inflate(&z, Z_NO_FLUSH);
      // Z_BUF_ERROR only says that this call could not move on: more input is due.
      if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
        ok = false;
        break;
      }
      ok = sink->Take(out.get(), kBufferBytes - z.avail_out);
    } while (ok && z.avail_out == 0 && result != Z_STREAM_END);
  }
  inflateEnd(&z);
  return ok && result == Z_STREAM_END;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: race_floor LIST STREAM DEST\n");
    return 2;
  }
  std::vector<Entry> entries;
  if (!ReadList(argv[1], &entries)) {
    std::fprintf(stderr, "cannot read the list %s\n", argv[1]);
    return 1;
  }
  HANDLE stream = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (stream == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s\n", argv[2]);
    return 1;
  }
  const std::string destination = argv[3];
  bool ok = CreateDirectoryA(destination.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  FileSink sink(entries, destination);
  ok = ok && Inflate(stream, &sink) && sink.Complete();
  CloseHandle(stream);
  if (!ok) std::fprintf(stderr, "the payload could not be written whole into %s\n", argv[3]);
  return ok ? 0 : 1;
}
