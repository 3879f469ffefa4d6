#pragma once
// Splices the replacements of the ticked places of one file into its text.

#include <string>
#include <vector>

#include "pattern/ReplacingPattern.h"
#include "pattern/SpliceResult.h"
#include "place/AbstractPlaceList.h"
#include "text/NewLineKind.h"

// Places are located by line and column in the text as the search saw it, where every
// line end was one '\n'. text may hold the file's own line ends instead (lineEnds
// names the file's convention, as loading found it: CrLf, every CR dropped; Cr, every
// CR taken as a line end; Lf, the text as it is): the places are then found in it
// and only the units of their hits change, so every other unit, each line end
// included, stays as it was; a '\n' in a replacement becomes the file's line end.
// A place whose hit is no longer at its line and column is left out and counted as
// stale; one that starts before the end of the previous replaced one is left out too.
// indices: the list indices (ascending) that may hold the file's places; null looks
// through the whole list. hits, when given, receives where each replaced hit stood
// and where its replacement went, in text order.
template <class C>
TSpliceResult SpliceReplacements(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, TNewLineKind lineEnds,
                                 const TAbstractPlaceList& list, const std::string& fileName,
                                 const std::vector<int>* indices, std::vector<TSplicedHit>* hits = nullptr);

// The same on text with '\n' line ends; true when any place was replaced.
template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, const TAbstractPlaceList& list,
                   const std::string& fileName);
template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text, const TAbstractPlaceList& list,
                   const std::string& fileName, const std::vector<int>& indices);

extern template TSpliceResult SpliceReplacements<char>(const TReplacingPattern<char>&, std::string&, TNewLineKind,
                                                       const TAbstractPlaceList&, const std::string&,
                                                       const std::vector<int>*, std::vector<TSplicedHit>*);
extern template TSpliceResult SpliceReplacements<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&,
                                                          TNewLineKind, const TAbstractPlaceList&, const std::string&,
                                                          const std::vector<int>*, std::vector<TSplicedHit>*);
extern template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&, const TAbstractPlaceList&,
                                         const std::string&);
extern template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&, const TAbstractPlaceList&,
                                            const std::string&);
extern template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&, const TAbstractPlaceList&,
                                         const std::string&, const std::vector<int>&);
extern template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&, const TAbstractPlaceList&,
                                            const std::string&, const std::vector<int>&);
