// Sample export to AIFF files and simple AIFF readers.
//
// Export writes a bank sample as a mono 16-bit file, loop start and end as two markers, into the export folder's
// "S" subfolder under a number from a process-wide counter. The readers split stereo into two raw PCM files, fill
// left and right float buffers, or fetch the first two markers; results stay in module state and problems are
// printed to standard output.
//
// Thread contract: the module state has no lock, so a single export or load at a time, control thread only.
#pragma once

#include "sampler/src/formats/korvel_aiff.h"
#include "sampler/src/bank/korvel_sample.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_AIFF_FIRST_NUMBER = 268435456 };

// The export folder (absolute, at most 1023 characters); its subfolder "S" must exist. The default is chosen when
// the library is built (KORVEL_EXPORT_FOLDER). A longer folder is refused with -1; else 0.
int korvel_aiff_export_set_folder(const char* folder);
const char* korvel_aiff_export_folder(void);

// Writes the sample's points from its play start to its play end (loop made relative to the start; the end limited
// to the points the sample's block holds) as "<folder>/S/<number>.aif", taking the next number whose file does not
// exist, so no earlier export is overwritten. The file appears whole or not at all. 0 when written or when there is
// nothing to write (no points; a sample that is not valid is skipped with a warning); -1 when the file cannot be made
// or written, with an error logged.
int korvel_sample_export_sfont(korvel_sample_t* sample);

// Writes count 16-bit (or bits-wide) interleaved samples as a plain AIFF file with loop markers when
// loop_end > loop_start and loop_start is not -1, replacing path in one step (through a symbolic link, into the
// file it names). 0 once the new file is in place; -1 with an error logged when the file cannot be created or
// written, or path is not a regular file, and then any old file at path stays as it was.
int convert2Aiff(const char* path, const void* samples, int count, int channels, int bits, int loop_start,
                 int loop_end, float rate);
// Writes the markers "loop begin" and "loop end" on a file whose sound data is finished: 0, or -1.
int setMarkers(AIFF_Handle* file, int begin, int end);
// Does nothing: 0.
int convert2Aiff2(void);

// Splits a stereo AIFF file into "<folder><name> (L).pcm" and "<folder><name> (R).pcm" raw files of 16-bit
// integers (bits 16) or floats (other values). 0, or -1 with a message.
int convertToMonoFiles(const char* aiff_path, const char* folder, const char* name, int bits);
// Reads the first two markers and the frame count: 0, or -1 with a message.
int findMarkers(const char* path);
int getMarker1(void);
int getMarker2(void);
int getSampleLen(void);

// Loads a stereo (16 or 32-bit) or mono 16-bit file into float buffers owned by this module until cleanAiffFile:
// the frame count, or -1 with a message. Other formats load nothing and give the frame count.
int loadAiffFile(const char* path);
int getAiffFileSize(void);
float* getAiffFileLeft(void);
float* getAiffFileRight(void); // null for a mono file
void cleanAiffFile(void);

#ifdef __cplusplus
}
#endif
