// The length-prefixed strings of ElTools on a TStream.
#include <exception>

#include "controls/eltools.h"
#include "controls/stream_codec.h"
#include "platform/core/streams.h"

namespace morvane {

namespace {

bool WriteBytes(TStream& Stream, const std::string& Bytes) {
  try {
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Reads the length, checks it against what is left of the stream (a damaged
// length must not allocate gigabytes), then the characters into a
// temporary, so that a failure leaves the caller's string alone.
template <class Str>
bool ReadCounted(TStream& Stream, Str& S, unsigned UnitSize) {
  try {
    uint8_t header[4];
    if (Stream.Read(header, 4) != 4) return false;
    const int32_t len = elcodec::GetInt32LE(header);
    const int64_t left = Stream.Size() - Stream.Position();
    if (left < 0 || elcodec::CheckStringLength(len, static_cast<uint64_t>(left), UnitSize) !=
                        elcodec::TStringHeader::Ok)
      return false;
    std::string bytes(static_cast<size_t>(len) * UnitSize, '\0');
    if (!bytes.empty() && Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size())) !=
                              static_cast<int64_t>(bytes.size()))
      return false;
    if constexpr (sizeof(typename Str::value_type) == 1) {
      S = std::move(bytes);
    } else {
      S = elcodec::WideFromLE(elcodec::TBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool WriteStringToStream(TStream& Stream, const std::string& S) {
  std::string b;
  elcodec::EncodeString(b, S);
  return WriteBytes(Stream, b);
}

bool ReadStringFromStream(TStream& Stream, std::string& S) { return ReadCounted(Stream, S, 1); }

bool WriteWideStringToStream(TStream& Stream, const std::wstring& S) {
  std::string b;
  elcodec::EncodeWideString(b, S);
  return WriteBytes(Stream, b);
}

bool ReadWideStringFromStream(TStream& Stream, std::wstring& S) { return ReadCounted(Stream, S, 2); }

bool ReadWideStringFromStreamOrEmpty(TStream& Stream, std::wstring& S) {
  std::wstring tmp;
  const bool ok = ReadCounted(Stream, tmp, 2);
  S = std::move(tmp);
  return ok;
}

}  // namespace morvane
