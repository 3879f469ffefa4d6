// A search that adds about a million places: through the main window with the
// result window shown (offscreen), and through TMirunApp alone with no window. The
// windows' share is the ratio of the two times (target: at most 1.3).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>

#include "../JapaneseTree.h"
#include "core/MirunApp.h"
#include "settings/Option.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"

namespace {

// One common character searched in a tree of Japanese text in every code.
const char* const kSearched = "の";

const TJapaneseTree& Tree() {
  static const TJapaneseTree tree(800, 60000);
  return tree;
}

void SearchCoreOnly(benchmark::State& state) {
  const TJapaneseTree& tree = Tree();
  int places = 0;
  {
    // Untimed: the first search of a process pays for fresh memory and cold files.
    TMirunApp warm;
    warm.Option->SubDir = true;
    warm.Search({tree.Root()}, {"*.txt"}, kSearched);
  }
  for (auto _ : state) {
    TMirunApp app;
    app.Option->SubDir = true;
    if (app.Search({tree.Root()}, {"*.txt"}, kSearched) != SearchCompleted) state.SkipWithError("search failed");
    places = app.PlaceList->Count();
    state.PauseTiming();
    app.PlaceList.reset();
    state.ResumeTiming();
  }
  state.counters["places"] = places;
}

void SearchThroughWindows(benchmark::State& state) {
  const TJapaneseTree& tree = Tree();
  const std::string settings = tree.Root() + "-settings.kel";
  QGuiApplication::clipboard()->clear();
  TfrmMain main(settings);
  main.StartUp({});
  main.show();
  main.App().Option->SubDir = true;
  main.chkSubDir->setChecked(true);
  main.cmbPath->setEditText(QString::fromStdString(tree.Root()));
  main.cmbFilter->setEditText(QStringLiteral("*.txt"));
  main.cmbSearched->setEditText(QString::fromUtf8(kSearched));
  int places = 0;
  main.btnSearchClick();  // untimed warm-up, as above
  main.SetState(TUiState::Ready);
  QApplication::processEvents();
  for (auto _ : state) {
    main.btnSearchClick();
    if (main.State() != TUiState::Found) state.SkipWithError("search failed");
    places = main.App().PlaceList ? main.App().PlaceList->Count() : 0;
    // The window's deferred refresh and painting of the full list belong to the run.
    QApplication::processEvents();
    state.PauseTiming();
    main.SetState(TUiState::Ready);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["places"] = places;
  main.hide();
}

}  // namespace

BENCHMARK(SearchCoreOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchThroughWindows)->Unit(benchmark::kMillisecond)->Iterations(3);
