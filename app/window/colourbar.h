// The colour bar under the picture of a one-channel frame: the values
// from the low limit at its left end to the high one at its right, in the
// colours the picture gives them, with the two limits written below.
#ifndef COLOURBAR_H
#define COLOURBAR_H

#include "WDrawingArea.h"
#include "WEtc.h"

class Image;

class ColourBar : public WDrawingArea {
public:
  // Made in the form under the picture, not managed until a one-channel
  // frame is shown; it draws the map image uses.
  ColourBar(Widget form, const Image& image);

  void expose() override;
  // The map or its limits may have changed: drawn now, or, when it was
  // drawn a moment ago, once that moment is over, so that a stream does not
  // draw it for every frame.
  void touch();

  bool dirty;  // touched while waiting

private:
  void draw();

  const Image& image;
  WAlarm alarm;
};

// The bar's height, colours and values together.
const int COLOUR_BAR_H = 25;

void tp_draw_colourbar(XtPointer usr, XtIntervalId* id);

#endif
