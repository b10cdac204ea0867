#include "sampler/src/sys/korvel_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Released {
  static std::vector<std::pair<long, int>> log;
  static void record(void* value, int type) { log.emplace_back(reinterpret_cast<long>(value), type); }
};
std::vector<std::pair<long, int>> Released::log;

void* value(long v) { return reinterpret_cast<void*>(v); }

std::vector<std::string> keysInOrder(korvel_hashtable_t* table) {
  std::vector<std::string> keys;
  korvel_hashtable_foreach(
      table, [](const char* key, void*, int, void* out) { static_cast<std::vector<std::string>*>(out)->push_back(key); },
      &keys);
  return keys;
}

// Reference hash written from its definition with 64-bit arithmetic reduced by hand.
unsigned int referenceHash(const std::string& key) {
  unsigned long long h = 0;
  for (unsigned char byte : key) {
    long long c = byte >= 0x80 ? static_cast<long long>(byte) - 256 : byte;
    h = (h * 31 + static_cast<unsigned long long>(c)) % 4294967296ull;
  }
  return static_cast<unsigned int>(h);
}

class HashTable : public testing::Test {
 protected:
  void SetUp() override {
    Released::log.clear();
    table_ = new_korvel_hashtable(Released::record);
    ASSERT_NE(table_, nullptr);
  }
  void TearDown() override { delete_korvel_hashtable(table_); }
  korvel_hashtable_t* table_ = nullptr;
};

TEST(HashFunction, MatchesTheDefinition) {
  EXPECT_EQ(korvel_str_hash(""), 0u);
  EXPECT_EQ(korvel_str_hash("ab"), 97u * 31 + 98);
  for (std::string key : {"synth.polyphony", "a-rather-long-key-that-wraps-around-many-times", "\xC3\xA4\xFF", "z\x80"})
    EXPECT_EQ(korvel_str_hash(key.c_str()), referenceHash(key)) << key;
  EXPECT_EQ(korvel_str_hash("\xFF"), 0xFFFFFFFFu);
}

TEST_F(HashTable, LookupInsertAndRemove) {
  int type = -5;
  void* found = nullptr;
  EXPECT_EQ(korvel_hashtable_lookup(table_, "missing", &found, &type), 0);
  EXPECT_EQ(korvel_hashtable_insert(table_, "one", value(1), 10), 0);
  EXPECT_EQ(korvel_hashtable_lookup(table_, "one", &found, &type), 1);
  EXPECT_EQ(found, value(1));
  EXPECT_EQ(type, 10);
  EXPECT_EQ(korvel_hashtable_lookup(table_, "one", nullptr, nullptr), 1);
  EXPECT_EQ(korvel_hashtable_lookup(table_, "on", nullptr, nullptr), 0);
  EXPECT_EQ(korvel_hashtable_size(table_), 1u);
  EXPECT_EQ(korvel_hashtable_remove(table_, "one"), 1);
  EXPECT_EQ(korvel_hashtable_remove(table_, "one"), 0);
  EXPECT_EQ(korvel_hashtable_size(table_), 0u);
  EXPECT_EQ(Released::log, (std::vector<std::pair<long, int>>{{1, 10}}));
}

TEST_F(HashTable, InsertKeepsTheNodeInPlaceAndReplaceReleasesTheOldValue) {
  // "a", "h" and "o" share bucket 97 % 7 == 104 % 7 == 111 % 7 == 6.
  for (const char* key : {"a", "h", "o"}) korvel_hashtable_insert(table_, key, value(1), 0);
  korvel_hashtable_insert(table_, "h", value(2), 1);
  EXPECT_TRUE(Released::log.empty());
  EXPECT_EQ(keysInOrder(table_), (std::vector<std::string>{"a", "h", "o"}));
  korvel_hashtable_replace(table_, "h", value(3), 2);
  EXPECT_EQ(Released::log, (std::vector<std::pair<long, int>>{{2, 1}}));
  EXPECT_EQ(keysInOrder(table_), (std::vector<std::string>{"a", "h", "o"}));
  EXPECT_EQ(korvel_hashtable_size(table_), 3u);
}

TEST_F(HashTable, GrowsAtThreeNodesPerBucketAndRehashesAtChainHeads) {
  std::vector<std::string> keys;
  for (int i = 0; i < 21; ++i) keys.push_back("key" + std::to_string(i));
  for (int i = 0; i < 20; ++i) korvel_hashtable_insert(table_, keys[i].c_str(), value(i), 0);
  EXPECT_EQ(table_->size, 7u);

  // Expected layout after the rehash: the old chains are read front to back and each key is prepended to its new
  // chain.
  std::vector<std::vector<std::string>> oldBuckets(7), newBuckets(22);
  for (int i = 0; i < 21; ++i) oldBuckets[referenceHash(keys[i]) % 7].push_back(keys[i]);
  for (const auto& chain : oldBuckets)
    for (const auto& key : chain) {
      auto& bucket = newBuckets[referenceHash(key) % 22];
      bucket.insert(bucket.begin(), key);
    }
  std::vector<std::string> expected;
  for (const auto& chain : newBuckets) expected.insert(expected.end(), chain.begin(), chain.end());

  korvel_hashtable_insert(table_, keys[20].c_str(), value(20), 0);
  EXPECT_EQ(table_->size, 22u);
  EXPECT_EQ(keysInOrder(table_), expected);
  for (int i = 0; i < 21; ++i) EXPECT_EQ(korvel_hashtable_lookup(table_, keys[i].c_str(), nullptr, nullptr), 1);

  for (int i = 0; i < 21; ++i) korvel_hashtable_remove(table_, keys[i].c_str());
  EXPECT_EQ(table_->size, 22u);
}

TEST_F(HashTable, GrowthFollowsTheSizeSequence) {
  std::vector<unsigned int> sizes{table_->size};
  for (int i = 0; i < 3 * 202; ++i) {
    korvel_hashtable_insert(table_, std::to_string(i).c_str(), nullptr, 0);
    if (table_->size != sizes.back()) sizes.push_back(table_->size);
  }
  EXPECT_EQ(sizes, (std::vector<unsigned int>{7, 22, 67, 202, 607}));
}

TEST(HashTableDeletion, ReleasesEveryValueOnce) {
  Released::log.clear();
  korvel_hashtable_t* table = new_korvel_hashtable(Released::record);
  for (long i = 0; i < 30; ++i) korvel_hashtable_insert(table, std::to_string(i).c_str(), value(i), static_cast<int>(i));
  delete_korvel_hashtable(table);
  ASSERT_EQ(Released::log.size(), 30u);
  std::vector<bool> seen(30, false);
  for (auto [v, t] : Released::log) {
    EXPECT_EQ(v, t);
    seen[v] = true;
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 30);

  korvel_hashtable_t* plain = new_korvel_hashtable(nullptr);
  korvel_hashtable_insert(plain, "k", value(1), 0);
  korvel_hashtable_replace(plain, "k", value(2), 0);
  EXPECT_EQ(korvel_hashtable_remove(plain, "k"), 1);
  delete_korvel_hashtable(plain);
}

}  // namespace
