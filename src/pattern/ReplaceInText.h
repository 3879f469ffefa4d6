#pragma once
// Splices the replacements of the ticked places of one file into its decoded text.

#include <string>
#include <vector>

#include "core/AbstractPlaceList.h"
#include "pattern/ReplacingPattern.h"

// Places are located by line and column; a place that starts before the end of the
// previously replaced one is skipped so that the text stays intact. True when any
// place was replaced.
template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text,
                   const TAbstractPlaceList& list, const std::string& fileName);
// The same, looking only at the given list indices (ascending), which the caller
// knows to hold the file's places: a run over many files stays linear.
template <class C>
bool ReplaceInText(const TReplacingPattern<C>& pattern, std::basic_string<C>& text,
                   const TAbstractPlaceList& list, const std::string& fileName,
                   const std::vector<int>& indices);

extern template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&,
                                         const TAbstractPlaceList&, const std::string&);
extern template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&,
                                            const TAbstractPlaceList&, const std::string&);
extern template bool ReplaceInText<char>(const TReplacingPattern<char>&, std::string&,
                                         const TAbstractPlaceList&, const std::string&,
                                         const std::vector<int>&);
extern template bool ReplaceInText<wchar_t>(const TReplacingPattern<wchar_t>&, std::wstring&,
                                            const TAbstractPlaceList&, const std::string&,
                                            const std::vector<int>&);
