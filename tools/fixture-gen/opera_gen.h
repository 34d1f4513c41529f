// Writes Opera "cookies4.dat" files as the format's public description has
// them, for fixtures, demo data and benchmarks. Independent of the reader on
// purpose: it is what the reader is checked against.
//
// Layout: big-endian; header with file version, application version, tag-id
// width and length-field width; every tag with the top bit set is a flag and
// has no length and no payload; every other tag has a length and a payload.
// A domain is one label ("com", then "example" inside it); its record is
// followed by its own cookies, its path records (each followed by its
// cookies, its sub-paths and an end-of-path flag) and its sub-domains, and
// closed by an end-of-domain flag. Cookies for the path "/" sit directly
// under the domain. Times are Unix seconds, 4 bytes before Opera 10 and
// 8 bytes from it on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::fixturegen {

struct TOperaGenField {  // a field the reader may not know
  uint32_t Tag = 0;
  std::string Payload;
  bool Flag = false;  // written with the top bit set and no payload
};

struct TOperaGenCookie {
  std::string Name, Value;
  bool HasExpires = true;
  uint64_t Expires = 0;
  bool HasLastUsed = true;
  uint64_t LastUsed = 0;
  std::string Comment;       // 0x14, written when not empty
  std::string CommentUrl;    // 0x15
  std::string RecvDomain;    // 0x16
  std::string RecvPath;      // 0x17
  std::string PortList;      // 0x18
  bool Secure = false;       // flag 0x19
  int Version = -1;          // 0x1A when not negative
  bool ServerOnly = false;   // flag 0x1B
  bool Protected = false;    // flag 0x1C
  bool NotForPrefix = false; // flag 0x20
  bool Password = false;     // flag 0x22
  bool Authenticate = false; // flag 0x23
  bool ThirdParty = false;   // flag 0x24
  std::vector<TOperaGenField> Extra;
};

struct TOperaGenPath {
  std::string Name;
  std::vector<TOperaGenCookie> Cookies;
  std::vector<TOperaGenPath> Paths;
  std::vector<TOperaGenField> Extra;
};

struct TOperaGenDomain {
  std::string Name;
  int64_t Filter = -1;       // 0x1F when not negative
  int64_t PathFilter = -1;   // 0x21
  int64_t ThirdParty = -1;   // 0x25
  std::vector<TOperaGenCookie> Cookies;
  std::vector<TOperaGenPath> Paths;
  std::vector<TOperaGenDomain> Domains;
  std::vector<TOperaGenField> Extra;
};

struct TOperaGenOptions {
  uint32_t FileVersion = 0x00001000;
  uint32_t AppVersion = 0x00002000;
  unsigned TagWidth = 1;
  unsigned LengthWidth = 2;
  unsigned TimeWidth = 8;    // 4 before Opera 10
  unsigned NumberWidth = 1;  // of 0x1A, 0x1F, 0x21, 0x25
  std::vector<TOperaGenField> TopLevelExtra;  // written before the first domain
};

std::string WriteOperaCookies(const std::vector<TOperaGenDomain>& domains, const TOperaGenOptions& options);

// A domain tree for "a.b.c" (labels from the right) holding Cookie at Path
// ("/" or "/x/y").
void AddOperaCookie(std::vector<TOperaGenDomain>& domains, const std::string& host, const std::string& path,
                    const TOperaGenCookie& cookie);

}  // namespace morvane::fixturegen

namespace morvane::fixturegen {
// N cookies over many hosts and paths, with the fields a current Opera
// writes (8-byte times, comment URLs, secure and HTTP-only flags) and a
// field no reader knows.
std::vector<TOperaGenDomain> MakeOperaCookies(long n);
}  // namespace morvane::fixturegen
