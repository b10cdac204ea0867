#pragma once
// String-keyed hash table whose values carry a type tag. Iteration walks buckets by index and each chain from its
// head, so the order is fixed by the keys and their insertion sequence alone.
//
// Thread contract: no locks inside; one thread at a time per table. Not for the audio thread (it allocates).

#ifdef __cplusplus
extern "C" {
#endif

// Releases a value; receives the value and its type code.
typedef void (*korvel_hash_delete_t)(void* value, int type);
// Called for every node: key, value, type code and the caller's data.
typedef void (*korvel_hash_iter_t)(const char* key, void* value, int type, void* data);

typedef struct _korvel_hashnode_t korvel_hashnode_t;
struct _korvel_hashnode_t {
  char* key;  // owned copy
  void* value;
  int type;
  korvel_hashnode_t* next;
};

typedef struct _korvel_hashtable_t {
  unsigned int size;    // number of buckets
  unsigned int nnodes;  // number of nodes
  korvel_hashnode_t** nodes;
  korvel_hash_delete_t del;  // may be none
} korvel_hashtable_t;

// A table of 7 buckets; `del` (may be none) releases values on replace, remove and deletion. None when out of memory.
korvel_hashtable_t* new_korvel_hashtable(korvel_hash_delete_t del);
// Passes every value to the delete function, then releases keys, nodes and the table.
void delete_korvel_hashtable(korvel_hashtable_t* table);
// 1 with the value and type (each output may be none) when the key exists; 0 otherwise.
int korvel_hashtable_lookup(korvel_hashtable_t* table, const char* key, void** value, int* type);
// Overwrites value and type of a present key without freeing the old value; otherwise adds the key at the end of
// its chain. 0; -1 if memory runs out, with the table unchanged.
int korvel_hashtable_insert(korvel_hashtable_t* table, const char* key, void* value, int type);
// As insert, but an existing key's old value is first passed to the delete function.
int korvel_hashtable_replace(korvel_hashtable_t* table, const char* key, void* value, int type);
// Removes the key and passes its value to the delete function. 1 when found, 0 otherwise.
int korvel_hashtable_remove(korvel_hashtable_t* table, const char* key);
void korvel_hashtable_foreach(korvel_hashtable_t* table, korvel_hash_iter_t function, void* data);
unsigned int korvel_hashtable_size(korvel_hashtable_t* table);
// h = h * 31 + c over the key's bytes taken as signed 8-bit values, wrapping at 2^32.
unsigned int korvel_str_hash(const char* key);

#ifdef __cplusplus
}
#endif
