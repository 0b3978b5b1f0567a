// A frame's values as Save Data writes them, row by row from the top:
// a typed frame's samples in the byte order they came in (R G B bytes for
// its RGB formats), the R G B bytes of RGB planes, the index bytes of a
// colour-mapped frame; zeros past what arrived.
#ifndef DATAROWS_H
#define DATAROWS_H

class Frame;

class DataRows {
public:
  explicit DataRows(const Frame& f);

  // Row y's values into out, row_bytes() of them.
  void row(int y, unsigned char* out) const;
  long row_bytes() const { return static_cast<long>(width) * channels * sample_bytes; }

  int type;  // of each value: RAVLON_U8 ... RAVLON_F64
  int sample_bytes;
  bool big_endian;
  int channels;  // 1, or 3 for R G B
  int width;
  int height;

private:
  void sample_row(int y, unsigned char* out) const;
  void plane_row(int y, unsigned char* out) const;

  const Frame& frame;
};

#endif
