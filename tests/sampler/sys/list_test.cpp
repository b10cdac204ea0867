#include "sampler/src/sys/korvel_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item {
  int key;
  char tag;
};

std::vector<void*> contents(korvel_list_t* list) {
  std::vector<void*> out;
  for (; list; list = list->next) out.push_back(list->data);
  return out;
}

int byKey(void* a, void* b) { return static_cast<Item*>(a)->key - static_cast<Item*>(b)->key; }

class List : public testing::Test {
 protected:
  void TearDown() override { delete_korvel_list(list_); }
  korvel_list_t* list_ = nullptr;
  int a = 0, b = 0, c = 0, d = 0;
};

TEST_F(List, AppendPrependNthLastAndSize) {
  EXPECT_EQ(korvel_list_size(nullptr), 0);
  EXPECT_EQ(korvel_list_last(nullptr), nullptr);
  list_ = korvel_list_append(list_, &b);
  list_ = korvel_list_append(list_, &c);
  list_ = korvel_list_prepend(list_, &a);
  EXPECT_EQ(contents(list_), (std::vector<void*>{&a, &b, &c}));
  EXPECT_EQ(korvel_list_size(list_), 3);
  EXPECT_EQ(korvel_list_last(list_)->data, &c);
  EXPECT_EQ(korvel_list_nth(list_, 0), list_);
  EXPECT_EQ(korvel_list_nth(list_, -3), list_);
  EXPECT_EQ(korvel_list_nth(list_, 2)->data, &c);
  EXPECT_EQ(korvel_list_nth(list_, 3), nullptr);
}

TEST_F(List, InsertAtClampsToTheEnds) {
  struct Case {
    int n;
    std::vector<int> expected;  // indices into {a, b, c, d}
  };
  const Case cases[] = {{-1, {3, 0, 1, 2}}, {0, {3, 0, 1, 2}}, {1, {0, 3, 1, 2}},
                        {2, {0, 1, 3, 2}},  {3, {0, 1, 2, 3}}, {9, {0, 1, 2, 3}}};
  void* items[] = {&a, &b, &c, &d};
  for (const Case& k : cases) {
    korvel_list_t* list = nullptr;
    for (int i = 0; i < 3; ++i) list = korvel_list_append(list, items[i]);
    list = korvel_list_insert_at(list, k.n, &d);
    std::vector<void*> expected;
    for (int i : k.expected) expected.push_back(items[i]);
    EXPECT_EQ(contents(list), expected) << "n = " << k.n;
    delete_korvel_list(list);
  }
  list_ = korvel_list_insert_at(nullptr, 5, &a);
  EXPECT_EQ(contents(list_), std::vector<void*>{&a});
}

TEST_F(List, RemoveAndRemoveLink) {
  for (void* p : {&a, &b, &a, &c}) list_ = korvel_list_append(list_, p);
  list_ = korvel_list_remove(list_, &a);
  EXPECT_EQ(contents(list_), (std::vector<void*>{&b, &a, &c}));
  list_ = korvel_list_remove(list_, &d);
  EXPECT_EQ(korvel_list_size(list_), 3);

  korvel_list_t* middle = korvel_list_nth(list_, 1);
  list_ = korvel_list_remove_link(list_, middle);
  EXPECT_EQ(middle->next, nullptr);
  EXPECT_EQ(contents(list_), (std::vector<void*>{&b, &c}));
  delete1_korvel_list(middle);

  korvel_list_t* first = list_;
  list_ = korvel_list_remove_link(list_, first);
  EXPECT_EQ(contents(list_), std::vector<void*>{&c});
  delete1_korvel_list(first);
}

TEST_F(List, NewListIsOneEmptyCell) {
  list_ = new_korvel_list();
  ASSERT_NE(list_, nullptr);
  EXPECT_EQ(list_->data, nullptr);
  EXPECT_EQ(list_->next, nullptr);
}

TEST(ListSort, OrdersAndBreaksTiesTowardTheLaterHalf) {
  struct Case {
    std::vector<Item> items;
    std::vector<char> expected;
  };
  // Worked by hand from the merge sort: the first half holds the extra cell of an odd count, and on a tie the
  // second half's cell goes first.
  const Case cases[] = {
      {{}, {}},
      {{{1, 'a'}}, {'a'}},
      {{{1, 'a'}, {1, 'b'}}, {'b', 'a'}},
      {{{2, 'a'}, {1, 'b'}, {3, 'c'}}, {'b', 'a', 'c'}},
      {{{1, 'a'}, {1, 'b'}, {1, 'c'}}, {'c', 'b', 'a'}},
      {{{1, 'a'}, {1, 'b'}, {1, 'c'}, {1, 'd'}}, {'d', 'c', 'b', 'a'}},
      {{{5, 'a'}, {4, 'b'}, {3, 'c'}, {2, 'd'}, {1, 'e'}}, {'e', 'd', 'c', 'b', 'a'}},
      {{{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {2, 'e'}}, {'d', 'b', 'e', 'c', 'a'}},
  };
  for (const Case& k : cases) {
    std::vector<Item> items = k.items;
    korvel_list_t* list = nullptr;
    for (Item& item : items) list = korvel_list_append(list, &item);
    list = korvel_list_sort(list, byKey);
    std::vector<char> tags;
    for (korvel_list_t* cell = list; cell; cell = cell->next) tags.push_back(static_cast<Item*>(cell->data)->tag);
    EXPECT_EQ(tags, k.expected) << "case of " << k.items.size();
    delete_korvel_list(list);
  }
}

}  // namespace
