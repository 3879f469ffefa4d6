#include "backup/WrittenState.h"

#include <cinttypes>
#include <cstdio>

#include "platform/ContentHash.h"
#include "platform/FileIdentity.h"

TWrittenState TWrittenState::FromIdentity(const hovrak::TFileIdentity& identity) {
  TWrittenState state;
  if (!identity.Known()) return state;
  state.Size = identity.Size;
  state.Seconds = identity.ModifiedSeconds;
  state.Nanoseconds = identity.ModifiedNanoseconds;
  return state;
}

TWrittenState TWrittenState::FromIdentity(const hovrak::TFileIdentity& identity, std::uint64_t hash) {
  TWrittenState state = FromIdentity(identity);
  state.HashKnown = state.Known();
  state.Hash = hash;
  return state;
}

TWrittenState TWrittenState::OfPath(const std::string& path) {
  return FromIdentity(hovrak::TFileIdentity::OfPath(path));
}

std::string TWrittenState::Text() const {
  if (!Known()) return std::string();
  char text[64];
  std::snprintf(text, sizeof text, "%" PRId64 " %" PRId64 ".%09ld", Size, Seconds, Nanoseconds);
  return text;
}

TWrittenState TWrittenState::Parse(const std::string& text) {
  TWrittenState state;
  long long size = 0, seconds = 0;
  char fraction[16] = {};
  int used = 0;
  if (std::sscanf(text.c_str(), "%lld %lld.%9[0-9]%n", &size, &seconds, fraction, &used) != 3) return state;
  if (static_cast<std::size_t>(used) != text.size() || size < 0 || std::string(fraction).size() != 9) return state;
  state.Size = size;
  state.Seconds = seconds;
  state.Nanoseconds = std::stol(fraction);
  return state;
}

std::string TWrittenState::HashText() const {
  return Known() && HashKnown ? hovrak::TContentHash::Text(Hash) : std::string();
}

void TWrittenState::ParseHash(const std::string& text) {
  HashKnown = Known() && hovrak::TContentHash::Parse(text, Hash);
}
