// Painting one screen of the result list: the cost must not grow with the number
// of places, since only the visible rows are drawn.

#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <QImage>
#include <QTemporaryDir>

#include "place/PlaceList.h"
#include "ui/PlacesView.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"

namespace {

void BM_ResultListPaintScreen(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  QTemporaryDir home;
  TfrmMain main((home.path() + "/Mirun.kel").toStdString());
  // A hundred distinct places, repeated: the list's length is what is measured, not
  // the memory of a million texts.
  std::vector<std::shared_ptr<TPlace<wchar_t>>> distinct;
  for (int i = 0; i < 100; ++i) {
    distinct.push_back(std::make_shared<TPlace<wchar_t>>(
        "/home/user/文書/project/src/sub" + std::to_string(i % 7) + "/file" + std::to_string(i) + ".txt", i * 3, i % 40,
        L"検索語", L"これは日本語の文章で、その中に\t" + std::to_wstring(i) + L"番目の",
        L"が現れます。行はまだ続き、右の端を越えてゆきます。"));
  }
  auto list = std::make_unique<TPlaceList<wchar_t>>();
  for (int i = 0; i < count; ++i) list->Add(distinct[static_cast<std::size_t>(i % 100)]);
  main.App().PlaceList = std::move(list);

  TfrmResult& result = *main.frmResult();
  result.show();
  result.RefreshPlaces();
  TPlacesView& view = *result.scbPlaces;
  view.SetScrollPosition(view.SurfaceHeight() / 2);
  QImage image(view.viewport()->size() * view.viewport()->devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(view.viewport()->devicePixelRatioF());
  for (auto _ : state) {
    view.DropCache();
    result.pbxPlaces->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["rows"] = view.viewport()->height() / view.RowHeight() + 1;
  main.App().PlaceList.reset();
}

}  // namespace

BENCHMARK(BM_ResultListPaintScreen)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
