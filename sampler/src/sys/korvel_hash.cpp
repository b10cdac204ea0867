#include "sampler/src/sys/korvel_hash.h"

#include <cstdlib>
#include <cstring>

#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr unsigned int kInitialSize = 7;
constexpr unsigned int kMaxSize = 13845163;

korvel_hashnode_t** findNode(korvel_hashtable_t* table, const char* key) {
  korvel_hashnode_t** link = &table->nodes[korvel_str_hash(key) % table->size];
  while (*link && std::strcmp((*link)->key, key) != 0) link = &(*link)->next;
  return link;
}

korvel_hashnode_t** allocateBuckets(unsigned int size) {
  return static_cast<korvel_hashnode_t**>(std::calloc(size, sizeof(korvel_hashnode_t*)));
}

// Grows when the table holds at least three nodes per bucket. A growth that runs out of memory keeps the table as
// it is: it stays correct, only its chains get longer.
void resizeIfNeeded(korvel_hashtable_t* table) {
  if (table->nnodes < 3 * table->size || table->size >= kMaxSize) return;
  unsigned int newSize = 3 * table->size + 1;
  if (newSize > kMaxSize) newSize = kMaxSize;
  korvel_hashnode_t** buckets = allocateBuckets(newSize);
  if (!buckets) return;
  for (unsigned int i = 0; i < table->size; ++i) {
    korvel_hashnode_t* node = table->nodes[i];
    while (node) {
      korvel_hashnode_t* next = node->next;
      korvel_hashnode_t** head = &buckets[korvel_str_hash(node->key) % newSize];
      node->next = *head;
      *head = node;
      node = next;
    }
  }
  std::free(table->nodes);
  table->nodes = buckets;
  table->size = newSize;
}

int store(korvel_hashtable_t* table, const char* key, void* value, int type, bool releaseOld) {
  korvel_hashnode_t** link = findNode(table, key);
  if (*link) {
    if (releaseOld && table->del) table->del((*link)->value, (*link)->type);
    (*link)->value = value;
    (*link)->type = type;
    return 0;
  }
  auto* node = static_cast<korvel_hashnode_t*>(std::malloc(sizeof(korvel_hashnode_t)));
  char* copy = strdup(key);
  if (!node || !copy) {
    std::free(node);
    std::free(copy);
    return korvel_log(KORVEL_ERR, "Out of memory");
  }
  *node = {copy, value, type, nullptr};
  *link = node;
  ++table->nnodes;
  resizeIfNeeded(table);
  return 0;
}

}  // namespace

extern "C" {

unsigned int korvel_str_hash(const char* key) {
  unsigned int h = 0;
  for (const char* p = key; *p; ++p) h = h * 31 + static_cast<unsigned int>(static_cast<signed char>(*p));
  return h;
}

korvel_hashtable_t* new_korvel_hashtable(korvel_hash_delete_t del) {
  auto* table = static_cast<korvel_hashtable_t*>(std::malloc(sizeof(korvel_hashtable_t)));
  korvel_hashnode_t** buckets = allocateBuckets(kInitialSize);
  if (!table || !buckets) {
    std::free(table);
    std::free(buckets);
    korvel_log(KORVEL_ERR, "Out of memory");
    return nullptr;
  }
  *table = {kInitialSize, 0, buckets, del};
  return table;
}

void delete_korvel_hashtable(korvel_hashtable_t* table) {
  if (!table) return;
  for (unsigned int i = 0; i < table->size; ++i) {
    korvel_hashnode_t* node = table->nodes[i];
    while (node) {
      korvel_hashnode_t* next = node->next;
      if (table->del) table->del(node->value, node->type);
      std::free(node->key);
      std::free(node);
      node = next;
    }
  }
  std::free(table->nodes);
  std::free(table);
}

int korvel_hashtable_lookup(korvel_hashtable_t* table, const char* key, void** value, int* type) {
  korvel_hashnode_t* node = *findNode(table, key);
  if (!node) return 0;
  if (value) *value = node->value;
  if (type) *type = node->type;
  return 1;
}

int korvel_hashtable_insert(korvel_hashtable_t* table, const char* key, void* value, int type) {
  return store(table, key, value, type, false);
}

int korvel_hashtable_replace(korvel_hashtable_t* table, const char* key, void* value, int type) {
  return store(table, key, value, type, true);
}

int korvel_hashtable_remove(korvel_hashtable_t* table, const char* key) {
  korvel_hashnode_t** link = findNode(table, key);
  korvel_hashnode_t* node = *link;
  if (!node) return 0;
  *link = node->next;
  if (table->del) table->del(node->value, node->type);
  std::free(node->key);
  std::free(node);
  --table->nnodes;
  resizeIfNeeded(table);
  return 1;
}

void korvel_hashtable_foreach(korvel_hashtable_t* table, korvel_hash_iter_t function, void* data) {
  for (unsigned int i = 0; i < table->size; ++i)
    for (korvel_hashnode_t* node = table->nodes[i]; node; node = node->next)
      function(node->key, node->value, node->type, data);
}

unsigned int korvel_hashtable_size(korvel_hashtable_t* table) { return table->nnodes; }

}  // extern "C"
