// AIFF and AIFF-C files, read or written through an AIFF_Handle.
//
// The writer produces the chunks in a fixed order (header, "COMM", "SSND", then "MARK" chunks) and back-patches
// sizes and the frame count. The reader checks every chunk against the file's real length: a frame count larger
// than the sound data present is cut to the data, so callers may size buffers from it.
//
// Thread contract: a handle belongs to one thread at a time; nothing is shared between handles. Control thread
// only (file I/O and allocation).
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __cplusplus
extern "C" {
#endif

// Mode and flag bits of a handle.
enum korvel_aiff_flags {
    F_RDONLY = 1,
    F_WRONLY = 2,
    LPCM_NEED_SWAP = 4, // file and host byte order differ
    LPCM_LTE_ENDIAN = 8, // the sound data is little-endian ("sowt")
    F_AIFC = 16
};

// Write states.
enum korvel_aiff_state {
    AIFF_STATE_CREATED = 0,
    AIFF_STATE_FORMAT = 1,
    AIFF_STATE_SAMPLES = 2,
    AIFF_STATE_DONE = 3,
    AIFF_STATE_MARKERS = 4
};

typedef struct _AIFF_Handle AIFF_Handle;

// Instrument data of an "INST" chunk; loop positions in frames.
typedef struct {
    int8_t baseNote;
    int8_t detune;
    int8_t lowNote;
    int8_t highNote;
    int8_t lowVelocity;
    int8_t highVelocity;
    int16_t gain;
    int16_t sustainLoopPlayMode;
    uint64_t sustainLoopBegin;
    uint64_t sustainLoopEnd;
    int16_t releaseLoopPlayMode;
    uint64_t releaseLoopBegin;
    uint64_t releaseLoopEnd;
} AIFF_InstrumentData;

// Text chunk identifiers for the attribute calls.
enum korvel_aiff_attribute { AIFF_NAME = 0x4e414d45, AIFF_AUTH = 0x41555448, AIFF_ANNO = 0x414e4e4f };

// Opens a file: mode F_WRONLY creates (or empties) it and writes the header, plain big-endian AIFF, or AIFF-C with
// F_AIFC (LPCM_LTE_ENDIAN then selects little-endian data); mode F_RDONLY opens an existing AIFF or AIFF-C file.
// Null when the file cannot be opened, created or understood.
AIFF_Handle* AIFF_OpenFile(const char* path, int mode);
// Writing: back-patches the "FORM" size and closes; 1 when the sound data (and markers) were finished, 2 when
// closed in another state, -1 when the header cannot be patched. Reading: closes; 1. The handle is released in
// every case; null gives -1.
int AIFF_CloseFile(AIFF_Handle* handle);

// Writing; -1 when the handle is null or was opened for reading.
// Writes "COMM" (frame count patched later); only once, right after opening (else 0). 1.
int AIFF_SetAudioFormat(AIFF_Handle* handle, int channels, double rate, int bits);
// Opens "SSND"; only after the format (else 0). 1.
int AIFF_StartWritingSamples(AIFF_Handle* handle);
// Appends interleaved native-endian samples: 1. 0 outside Start/EndWritingSamples or when byte_count splits a
// sample; -1 on a short write.
int AIFF_WriteSamples(AIFF_Handle* handle, const void* samples, size_t byte_count);
// The same for count samples given as 32-bit integers, narrowed to their most significant bytes; -1 outside the
// sound data.
int AIFF_WriteSamples32Bit(AIFF_Handle* handle, const int32_t* samples, int count);
// Pads and patches "SSND" and the frame count; 0 outside the sound data, -1 on an I/O failure, else 1.
int AIFF_EndWritingSamples(AIFF_Handle* handle);
// "MARK" chunks, after the sound data: -1 in the wrong state. A marker beyond 65535 gives 0 and is not written.
int AIFF_StartWritingMarkers(AIFF_Handle* handle);
int AIFF_WriteMarker(AIFF_Handle* handle, uint64_t position, const char* name);
int AIFF_EndWritingMarkers(AIFF_Handle* handle);
// Writes a "NAME", "AUTH" or "ANNO" text chunk; allowed before the sound data starts and after it is finished.
// 1, 0 in the sound data or for another identifier, -1 on an I/O failure.
int AIFF_SetAttribute(AIFF_Handle* handle, int id, const char* text);
// Copies from's text chunks into to. With with_markers set, and once to's samples are ended, from's markers follow
// as a new "MARK" chunk. 1, or -1.
int AIFF_CloneAttributes(AIFF_Handle* to, AIFF_Handle* from, int with_markers);

// Reading; -1 when the handle is null or was opened for writing.
// The format read from "COMM" (bits and bytes per sample as delivered by the read calls). 1.
int AIFF_GetAudioFormat(AIFF_Handle* handle, uint64_t* frames, int* channels, double* rate, int* bits,
                        int* bytes_per_sample);
// Up to byte_count bytes of whole samples in the machine's byte order, from the current position; the bytes
// delivered (0 at the end of the data).
int AIFF_ReadSamples(AIFF_Handle* handle, void* buffer, size_t byte_count);
// Up to count samples as floats scaled by 1 / 2^(bits - 1) (float data as stored); the samples delivered.
int AIFF_ReadSamplesFloat(AIFF_Handle* handle, float* buffer, int count);
// Up to count samples widened to 32-bit integers; the samples delivered.
int AIFF_ReadSamples32Bit(AIFF_Handle* handle, int32_t* buffer, int count);
// Moves to a frame (at most the frame count). 1.
int AIFF_Seek(AIFF_Handle* handle, uint64_t frame);
// The next marker of the "MARK" chunk: 1, or 0 after the last one or when there is none. name (when given)
// receives an owned text the caller releases with free().
int AIFF_ReadMarker(AIFF_Handle* handle, int* id, uint64_t* position, char** name);
// The "INST" chunk (exactly 20 bytes), loops turned into frame positions through "MARK" (0 when a marker is
// missing). 1, 0 without such a chunk.
int AIFF_GetInstrumentData(AIFF_Handle* handle, AIFF_InstrumentData* out);
// The text of a "NAME", "AUTH" or "ANNO" chunk as an owned text (free()), or null.
char* AIFF_GetAttribute(AIFF_Handle* handle, int id);

// Writes v as an 80-bit IEEE 754 extended float, big-endian.
void korvel_aiff_write_extended(double v, unsigned char out[10]);
double korvel_aiff_read_extended(const unsigned char in[10]);

// For a check that must never fail: writes "<what>: assertion at <file>:<line> failed" as one line to stderr and
// aborts.
#ifdef __cplusplus
[[noreturn]]
#endif
void AIFF_AssertionFailed(const char* what, const char* file, int line);

#ifdef __cplusplus
}
#endif
