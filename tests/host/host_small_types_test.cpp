// Small host types: reference-counted pointers, error objects, formatting, threads, the password
// stand-in and the VPLEX identifier parser.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "CWmError.h"
#include "FXString.h"
#include "SP.h"
#include "TQPassword.h"
#include "TqException.h"
#include "TqThread.h"
#include "VplexParser.h"

namespace {

struct Counted : SPEnabled {
  explicit Counted(std::atomic<int>& deletions) : deletions_(deletions) {}
  ~Counted() override { ++deletions_; }
  std::atomic<int>& deletions_;
};

TEST(SharedPointer, LastHolderDeletesOnceAndSelfAssignmentKeepsTheObject) {
  std::atomic<int> deletions{0};
  {
    SP<Counted> first(new Counted(deletions));
    SP<Counted> second(first);
    EXPECT_EQ(2, first->referenceCount());
    const SP<Counted>& itself = second;
    second = itself;  // self-assignment must not drop the last reference first
    first = nullptr;
    EXPECT_EQ(0, deletions.load());
    EXPECT_EQ(1, second->referenceCount());
    Counted* raw = second;
    second = raw;  // assigning the held object again
    EXPECT_EQ(0, deletions.load());
  }
  EXPECT_EQ(1, deletions.load());

  SP<Counted> empty;
  EXPECT_EQ(nullptr, static_cast<Counted*>(empty));
}

struct Other : SPEnabled {};

TEST(SharedPointer, FromTheCommonBaseHoldsOnlyObjectsOfItsType) {
  std::atomic<int> deletions{0};
  Other other;
  {
    SPEnabled* counted = new Counted(deletions);
    SP<Counted> held(counted);
    ASSERT_NE(nullptr, static_cast<Counted*>(held));
    EXPECT_EQ(1, held->referenceCount());
    SP<Counted> second;
    second = counted;
    EXPECT_EQ(2, held->referenceCount());
    second = static_cast<SPEnabled*>(&other);  // not a Counted: holds nothing, lets go of the Counted
    EXPECT_EQ(nullptr, static_cast<Counted*>(second));
    EXPECT_EQ(1, held->referenceCount());
    EXPECT_EQ(0, other.referenceCount());
    SP<Counted> none(static_cast<SPEnabled*>(&other));
    EXPECT_EQ(nullptr, static_cast<Counted*>(none));
  }
  EXPECT_EQ(1, deletions.load());
  EXPECT_EQ(0, other.referenceCount());
}

TEST(SharedPointer, CopiesOnManyThreadsCountExactly) {
  std::atomic<int> deletions{0};
  SP<Counted> shared(new Counted(deletions));
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&shared] {
      for (int i = 0; i < 2000; ++i) {
        SP<Counted> copy(shared);
        SP<Counted> other;
        other = copy;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(1, shared->referenceCount());
  shared = nullptr;
  EXPECT_EQ(1, deletions.load());
}

TEST(HostErrors, SuccessAndFailureTexts) {
  EXPECT_TRUE(CWmError::Success().isSuccess());
  EXPECT_EQ("Success", CWmError().AsString());
  const CWmError failure(2, "no such device '/dev/sdz'");
  EXPECT_FALSE(failure.isSuccess());
  EXPECT_EQ("no such device '/dev/sdz'", CWmError(failure).AsString());
  EXPECT_EQ("Error 5", CWmError(5, "").AsString());

  try {
    throw TqException("3PAR-getDevArrayInfo", failure.AsString().c_str());
  } catch (const TqException& caught) {
    EXPECT_STREQ("no such device '/dev/sdz'", caught.getMessage());
    EXPECT_STREQ("3PAR-getDevArrayInfo", caught.getTag());
  }
  EXPECT_STREQ("", TqException(nullptr, nullptr).getMessage());
}

TEST(FXStringFormat, LongTextsAreNeverCut) {
  const std::string iscsiName = "iqn.2001-04.com.example:" + std::string(199, 'x');  // 223 bytes
  const std::string text = FXString::Format("%s: initiator [%s] #%d", "tag", iscsiName.c_str(), 7);
  EXPECT_EQ("tag: initiator [" + iscsiName + "] #7", text);
  const std::string huge(100000, 'a');
  EXPECT_EQ(huge.size() + 2, FXString::Format("<%s>", huge.c_str()).size());
  EXPECT_EQ("", FXString::Format(nullptr));
}

void* twice(void* argument) {
  int* value = static_cast<int*>(argument);
  *value *= 2;
  return value;
}

TEST(HostThread, RunsJoinsOnceAndRefusesMisuse) {
  int value = 21;
  TqThread thread;
  void* result = nullptr;
  EXPECT_EQ(TqThread::kFailed, thread.joinThread(&result)) << "join before start";
  ASSERT_EQ(TqThread::kOk, thread.createThread(&twice, &value));
  EXPECT_EQ(TqThread::kFailed, thread.createThread(&twice, &value)) << "second start";
  ASSERT_EQ(TqThread::kOk, thread.joinThread(&result));
  EXPECT_EQ(&value, result);
  EXPECT_EQ(42, value);
  EXPECT_EQ(TqThread::kFailed, thread.joinThread(&result)) << "second join";
  EXPECT_EQ(TqThread::kFailed, TqThread().createThread(nullptr, nullptr));
}

TEST(HostThread, DeletingAStartedThreadWaitsForIt) {
  std::atomic<bool> finished{false};
  auto* thread = new TqThread;
  ASSERT_EQ(TqThread::kOk, thread->createThread(
                               [](void* flag) -> void* {
                                 static_cast<std::atomic<bool>*>(flag)->store(true);
                                 return nullptr;
                               },
                               &finished));
  delete thread;
  EXPECT_TRUE(finished.load());
}

TEST(PasswordStandIn, RoundTripsEveryPasswordWhole) {
  for (const std::string& password :
       {std::string("secret"), std::string("p@ss:w,o}rd"), std::string(300, 'k'), std::string("T"), std::string("")}) {
    const std::string enciphered = TQPassword::encipher(password);
    if (password.size() > 3) {
      EXPECT_EQ(std::string::npos, enciphered.find(password)) << "plain text visible";
    }
    std::vector<char> buffer(password.size() + 1, 'z');
    unsigned long length = buffer.size();
    ASSERT_NE(0, TQPassword().decrypt(enciphered.c_str(), buffer.data(), &length)) << password;
    EXPECT_EQ(password, std::string(buffer.data()));
    EXPECT_EQ(password.size(), length);
  }
}

TEST(PasswordStandIn, RefusesWhatItCannotDecipherAndNeverCuts) {
  const std::string enciphered = TQPassword::encipher("long-password");
  char small[5];
  unsigned long length = sizeof(small);
  EXPECT_EQ(0, TQPassword().decrypt(enciphered.c_str(), small, length));
  EXPECT_EQ(14u, length) << "size needed";
  EXPECT_STREQ("", small);

  const struct {
    const char* text;
    const char* why;
  } bad[] = {{"secret", "no prefix"},
             {"TQPW1:ABC", "odd digit count"},
             {"TQPW1:ZZ", "not hex"},
             {"TQPW1:54", "deciphers to a NUL byte"},
             {"tqpw1:00", "prefix case"}};
  for (const auto& item : bad) {
    char buffer[64];
    unsigned long capacity = sizeof(buffer);
    EXPECT_EQ(0, TQPassword().decrypt(item.text, buffer, &capacity)) << item.why;
  }
  unsigned long capacity = 8;
  EXPECT_EQ(0, TQPassword().decrypt(nullptr, small, &capacity));
}

TEST(VplexIdentifier, ReadsTheDocumentedFormOnly) {
  const struct {
    const char* text;
    bool ok;
    const char* arrayId;
    const char* wwn;
  } cases[] = {
      {"2FF70002AC001234:60002ac0000000000000000a00001234", true, "2FF70002AC001234",
       "60002AC0000000000000000A00001234"},
      {"  array-7 : naa.50002AC000123456 ", true, "array-7", "50002AC000123456"},
      {"A.b_c:0x60002AC0000000000000000A00001234", true, "A.b_c", "60002AC0000000000000000A00001234"},
      {"no-colon-60002AC0000000000000000A00001234", false, "", ""},
      {":60002AC0000000000000000A00001234", false, "", ""},
      {"array:60002AC0000000000000000A0000123", false, "", ""},   // 31 digits
      {"array:60002AC0000000000000000A0000123G", false, "", ""},  // not hex
      {"arr ay:50002AC000123456", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& item : cases) {
    std::string arrayId = "kept";
    std::string wwn = "kept";
    EXPECT_EQ(item.ok, ParseVPLEXBackendMetadata(item.text, arrayId, wwn)) << item.text;
    EXPECT_EQ(item.ok ? item.arrayId : "kept", arrayId) << item.text;
    EXPECT_EQ(item.ok ? item.wwn : "kept", wwn) << item.text;
  }
}

}  // namespace
