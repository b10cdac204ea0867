#pragma once
// Singly linked list, held by its head pointer (null when empty). Cells never free their data. Operations that may
// move the head return the new one.
//
// Thread contract: no locks inside; one thread at a time per list. Operations that add cells allocate and are not
// for the audio thread.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_list_t korvel_list_t;
struct _korvel_list_t {
  void* data;
  korvel_list_t* next;
};

// Negative when a goes before b.
typedef int (*korvel_compare_func_t)(void* a, void* b);

// One cell with no data. None when out of memory.
korvel_list_t* new_korvel_list(void);
// Releases every cell, not the data.
void delete_korvel_list(korvel_list_t* list);
// Releases one cell.
void delete1_korvel_list(korvel_list_t* cell);
// A new cell at the end; when out of memory the list is returned unchanged and the failure is logged.
korvel_list_t* korvel_list_append(korvel_list_t* list, void* data);
// A new first cell; when out of memory the list is returned unchanged and the failure is logged.
korvel_list_t* korvel_list_prepend(korvel_list_t* list, void* data);
// Zero-based; n < 1 gives the head, null past the end.
korvel_list_t* korvel_list_nth(korvel_list_t* list, int n);
// Unlinks and releases the first cell whose data is the given pointer.
korvel_list_t* korvel_list_remove(korvel_list_t* list, void* data);
// Detaches cell (not freed, next set to null).
korvel_list_t* korvel_list_remove_link(korvel_list_t* list, korvel_list_t* cell);
// Stable merge sort except for ties: of two equal elements, the one from the later half goes first.
korvel_list_t* korvel_list_sort(korvel_list_t* list, korvel_compare_func_t compare);
int korvel_list_size(korvel_list_t* list);
korvel_list_t* korvel_list_last(korvel_list_t* list);
// Inserts at position n, clamped: n < 1 or an empty list puts it first, n >= size puts it last.
korvel_list_t* korvel_list_insert_at(korvel_list_t* list, int n, void* data);

#ifdef __cplusplus
}
#endif
