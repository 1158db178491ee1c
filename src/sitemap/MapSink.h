#pragma once
#include <cstdint>
#include <string_view>

#include "common/TextSink.h"

// The template a stretch of the site-map text came from.
enum class MapPart { Start, Folder, File, LevelUp, Signature, End };

// Takes the site map piece by piece, each piece the text of one template, in order.
class MapSink {
 public:
  virtual ~MapSink() = default;
  // Comes before every piece: the text of the End piece that will close the map.
  virtual void WillEndWith(std::string_view endText) { (void)endText; }
  // `time`: of a Folder or File piece, the item's time as "%fDateTime%" shows it; else 0.
  virtual void Put(MapPart part, std::string_view text, int64_t time) = 0;
  // Whether the times given to Put matter; where they do not, the walk reads no times.
  virtual bool UsesTimes() const { return false; }
};

// Passes the map's text on as it is.
class PlainMapSink : public MapSink {
 public:
  explicit PlainMapSink(TextSink& out) : out_(out) {}
  void Put(MapPart, std::string_view text, int64_t) override { out_.Write(text); }

 private:
  TextSink& out_;
};
