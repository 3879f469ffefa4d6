#include "JapaneseCorpus.h"

#include <random>
#include <vector>

std::wstring MakeJapaneseText(std::size_t units, unsigned seed) {
  static const std::vector<std::wstring> kWords = {
      L"私",     L"東京",     L"日本語",   L"文字コード", L"検索",    L"置換",       L"ファイル",   L"今日",
      L"天気",   L"会社",     L"電車",     L"時間",       L"問題",    L"説明",       L"資料",       L"確認",
      L"設定",   L"お客様",   L"情報",     L"システム",   L"データ",  L"プログラム", L"開発",       L"作業",
      L"報告",   L"会議",     L"予定",     L"場合",       L"Windows", L"HTML",       L"UTF-8",      L"ページ",
      L"表示",   L"変更",     L"保存",     L"行",         L"年",      L"月",         L"ありがとう", L"よろしく",
      L"お願い", L"思います", L"できます", L"しました",   L"ください"};
  static const std::vector<std::wstring> kParticles = {L"の", L"は", L"が",   L"を",   L"に", L"で",
                                                       L"と", L"も", L"から", L"まで", L"へ"};
  static const std::vector<std::wstring> kEnds = {L"。", L"、", L"！", L"？", L"。\n", L"。\n", L"\n"};
  std::mt19937 rng(seed);
  std::wstring text;
  text.reserve(units + 64);
  while (text.size() < units) {
    text += kWords[rng() % kWords.size()];
    text += kParticles[rng() % kParticles.size()];
    if (rng() % 4 == 0) text += kEnds[rng() % kEnds.size()];
  }
  text.resize(units);
  return text;
}
