#include "platform/workermailbox.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using vantor::platform::WorkerMailbox;

// A delivery that stops the work (as a result handler that starts it afresh
// does) leaves the rest of its batch undelivered; later posts still arrive.
TEST(WorkerMailbox, AClearDuringADeliveryDropsTheRestOfTheBatch) {
  QObject owner;
  std::vector<int> delivered;
  WorkerMailbox<int> *self = nullptr;
  WorkerMailbox<int> mailbox(&owner, [&](int &&value) {
    delivered.push_back(value);
    if (value == 2)
      self->clear();
  });
  self = &mailbox;
  std::thread worker([&] {
    for (int value = 1; value <= 4; ++value)
      mailbox.post(value);
  });
  worker.join();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(delivered, (std::vector<int>{1, 2}));

  mailbox.post(5);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(delivered, (std::vector<int>{1, 2, 5}));
}

} // namespace
