/* Request codes of ravlon's wire protocol and the sizes the server accepts.
 * The server and every client library take them from here (C and C++), so
 * a client refuses exactly what the server would refuse. */
#ifndef RAVLON_PROTOCOL_H
#define RAVLON_PROTOCOL_H

#define RAVLON_REQ_DISCONNECT 1
#define RAVLON_REQ_RESIZE 2
#define RAVLON_REQ_COLRGB 3
#define RAVLON_REQ_COLMAP 4
#define RAVLON_REQ_KEY 5     /* the key, RAVLON_KEY_BYTES bytes; first of all when ravlon asks for one */
#define RAVLON_REQ_FRAME 6  /* width, height, format, samples row by row */
#define RAVLON_REQ_REGION 7 /* x, y, width, height, format, samples */
#define RAVLON_REQ_VIEW 8   /* map, scale, limits rule, flags, percent, vmin, vmax */

/* A typed frame's sample format: a type, or'ed with RAVLON_BIG_ENDIAN when
 * its multi-byte samples come most significant byte first. */
#define RAVLON_RGB 1  /* 3 bytes a pixel: R G B */
#define RAVLON_RGBA 2 /* 4 bytes a pixel: R G B A, alpha ignored */
#define RAVLON_U8 3
#define RAVLON_U16 4
#define RAVLON_I16 5
#define RAVLON_I32 6
#define RAVLON_F32 7
#define RAVLON_F64 8
#define RAVLON_BIG_ENDIAN 0x100

/* The view request's colour maps (or'ed with RAVLON_MAP_INVERT), scales,
 * limit rules and flags. */
#define RAVLON_MAP_GRAY 0
#define RAVLON_MAP_VIRIDIS 1
#define RAVLON_MAP_MAGMA 2
#define RAVLON_MAP_INFERNO 3
#define RAVLON_MAP_TURBO 4
#define RAVLON_MAP_COOLWARM 5
#define RAVLON_MAP_INVERT 0x100
#define RAVLON_SCALE_LINEAR 0
#define RAVLON_SCALE_SQRT 1
#define RAVLON_SCALE_LOG 2
#define RAVLON_SCALE_ASINH 3
#define RAVLON_LIMITS_MINMAX 0
#define RAVLON_LIMITS_PERCENT 1 /* both tails clipped: percent and 100 - percent */
#define RAVLON_LIMITS_ZSCALE 2
#define RAVLON_VIEW_VMIN 1 /* vmin is fixed, not from the rule */
#define RAVLON_VIEW_VMAX 2 /* vmax likewise */

#define RAVLON_DEFAULT_PORT 9999
#define RAVLON_KEY_BYTES 16
#define RAVLON_UNIX_DIR "/tmp/.ravlon-unix" /* the local socket of port N is RAVLON_UNIX_DIR/N */
#define RAVLON_MAX_IMAGE_SIDE 8192              /* largest width or height */
#define RAVLON_MAX_FRAME_SIZE (64 * 1024 * 1024) /* largest plane or index vector */
#define RAVLON_MAX_SAMPLE_BYTES (256 * 1024 * 1024) /* largest typed frame or region */

static inline int ravlon_valid_image_size(int width, int height)
{
  return width >= 1 && height >= 1 && width <= RAVLON_MAX_IMAGE_SIDE &&
         height <= RAVLON_MAX_IMAGE_SIDE;
}

static inline int ravlon_valid_frame_size(int size)
{
  return size >= 0 && size <= RAVLON_MAX_FRAME_SIZE;
}

/* Bytes of one pixel in a sample format; 0 for a format that is none. */
static inline int ravlon_pixel_bytes(int format)
{
  static const int bytes[] = {0, 3, 4, 1, 2, 2, 4, 4, 8};
  if ((format & ~(RAVLON_BIG_ENDIAN | 0xff)) != 0 || (format & 0xff) > RAVLON_F64)
    return 0;
  return bytes[format & 0xff];
}

/* A typed frame's or region's samples are within the limits: their bytes,
 * or -1. */
static inline long ravlon_sample_bytes(int width, int height, int format)
{
  long n;
  if (!ravlon_valid_image_size(width, height))
    return -1;
  n = (long)width * height * ravlon_pixel_bytes(format);
  return n == 0 || n > RAVLON_MAX_SAMPLE_BYTES ? -1 : n;
}

/* What a view request may ask for: a map, a scale and a rule there are,
 * and the fixed limits finite. */
static inline int ravlon_valid_view(int map, int scale, int rule, int flags, double percent,
                                    double vmin, double vmax)
{
  int known_map = (map & ~(0xff | RAVLON_MAP_INVERT)) == 0 && (map & 0xff) <= RAVLON_MAP_COOLWARM;
  int known_rule = rule == RAVLON_LIMITS_MINMAX || rule == RAVLON_LIMITS_ZSCALE ||
                   (rule == RAVLON_LIMITS_PERCENT && percent > 50 && percent <= 100);
  int fixed = (!(flags & RAVLON_VIEW_VMIN) || vmin - vmin == 0) &&
              (!(flags & RAVLON_VIEW_VMAX) || vmax - vmax == 0);
  return known_map && known_rule && fixed && scale >= RAVLON_SCALE_LINEAR &&
         scale <= RAVLON_SCALE_ASINH && (flags & ~(RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX)) == 0;
}

#endif
