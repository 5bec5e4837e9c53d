#pragma once
// Custom JPEG quantisation tables: one process-wide setting that every JPEG encoder of the kernel
// honours (the TIFF layer's JPEG pages and the JPEG codec). While it is on, pages are coded with
// the two tables as they stand instead of libjpeg's standard tables scaled for a quality.

#include "platform/core/wintypes.h"

struct jpeg_compress_struct;

// Switches the custom tables on or off; with both tables given (64 entries each, in natural row
// order) they are also stored. Table 0 (luminance) and table 1 (chrominance) of a stream.
void TIFFSetJpegQuantTables(BOOL use, const UINT* chroma, const UINT* luma);

// Sets the compressor's quantisation tables in place of libjpeg's jpeg_set_linear_quality: the
// custom tables at scale 100 while they are on (values below 1 become 1, values above the limit of
// a baseline table, 255, or of any table, 32767, become that limit), otherwise libjpeg's standard
// tables at `scale` percent.
void JpegSetLinearQuality(jpeg_compress_struct* info, int scale, BOOL forceBaseline);
// The same for a quality from 1 to 100, as jpeg_set_quality.
void JpegSetQuality(jpeg_compress_struct* info, int quality, BOOL forceBaseline);
