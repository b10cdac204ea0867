#include "sampler/src/sys/korvel_list.h"

#include <cstdlib>

#include "sampler/src/sys/korvel_sys.h"

namespace {

korvel_list_t* newCell(void* data, korvel_list_t* next) {
  auto* cell = static_cast<korvel_list_t*>(std::malloc(sizeof(korvel_list_t)));
  if (!cell) {
    korvel_log(KORVEL_ERR, "Out of memory");
    return nullptr;
  }
  *cell = {data, next};
  return cell;
}

// Takes the first half's cell only when it compares strictly before the second half's.
korvel_list_t* merge(korvel_list_t* first, korvel_list_t* second, korvel_compare_func_t compare) {
  korvel_list_t head{nullptr, nullptr};
  korvel_list_t* tail = &head;
  while (first && second) {
    if (compare(first->data, second->data) < 0) {
      tail->next = first;
      first = first->next;
    } else {
      tail->next = second;
      second = second->next;
    }
    tail = tail->next;
  }
  tail->next = first ? first : second;
  return head.next;
}

korvel_list_t* sortCells(korvel_list_t* list, int count, korvel_compare_func_t compare) {
  if (count < 2) return list;
  const int firstCount = (count + 1) / 2;
  korvel_list_t* middle = korvel_list_nth(list, firstCount - 1);
  korvel_list_t* second = middle->next;
  middle->next = nullptr;
  return merge(sortCells(list, firstCount, compare), sortCells(second, count - firstCount, compare), compare);
}

}  // namespace

extern "C" {

korvel_list_t* new_korvel_list(void) { return newCell(nullptr, nullptr); }

void delete_korvel_list(korvel_list_t* list) {
  while (list) {
    korvel_list_t* next = list->next;
    std::free(list);
    list = next;
  }
}

void delete1_korvel_list(korvel_list_t* cell) { std::free(cell); }

korvel_list_t* korvel_list_append(korvel_list_t* list, void* data) {
  korvel_list_t* cell = newCell(data, nullptr);
  if (!cell) return list;
  if (!list) return cell;
  korvel_list_last(list)->next = cell;
  return list;
}

korvel_list_t* korvel_list_prepend(korvel_list_t* list, void* data) {
  korvel_list_t* cell = newCell(data, list);
  return cell ? cell : list;
}

korvel_list_t* korvel_list_nth(korvel_list_t* list, int n) {
  for (int i = 0; i < n && list; ++i) list = list->next;
  return list;
}

korvel_list_t* korvel_list_remove(korvel_list_t* list, void* data) {
  for (korvel_list_t** link = &list; *link; link = &(*link)->next) {
    if ((*link)->data == data) {
      korvel_list_t* cell = *link;
      *link = cell->next;
      std::free(cell);
      break;
    }
  }
  return list;
}

korvel_list_t* korvel_list_remove_link(korvel_list_t* list, korvel_list_t* cell) {
  for (korvel_list_t** link = &list; *link; link = &(*link)->next) {
    if (*link == cell) {
      *link = cell->next;
      cell->next = nullptr;
      break;
    }
  }
  return list;
}

korvel_list_t* korvel_list_sort(korvel_list_t* list, korvel_compare_func_t compare) {
  return sortCells(list, korvel_list_size(list), compare);
}

int korvel_list_size(korvel_list_t* list) {
  int size = 0;
  for (; list; list = list->next) ++size;
  return size;
}

korvel_list_t* korvel_list_last(korvel_list_t* list) {
  if (!list) return nullptr;
  while (list->next) list = list->next;
  return list;
}

korvel_list_t* korvel_list_insert_at(korvel_list_t* list, int n, void* data) {
  if (n < 1 || !list) return korvel_list_prepend(list, data);
  korvel_list_t* before = list;
  for (int i = 1; i < n && before->next; ++i) before = before->next;
  korvel_list_t* cell = newCell(data, before->next);
  if (cell) before->next = cell;
  return list;
}

}  // extern "C"
