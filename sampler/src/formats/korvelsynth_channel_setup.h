// The process-wide text buffer of the flat interface and the canned channel-setup text.
//
// Thread contract: one caller at a time, like the rest of the flat interface.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_XML_BUFFER_SIZE = 4000000 };

// Shared by every instance: the texts that the list and XML functions return point into it until the next such
// call.
extern char xml_buffer[KORVEL_XML_BUFFER_SIZE];

// The canned channel-setup text (it describes no loaded data).
const char* korvel_channel_setup_text(void);

#ifdef __cplusplus
}
#endif
