// Both ciphers are reentrant: calls on many threads at once, each with its own image, key and
// round count (and some sharing a key and a cell count, which would expose any cache), give
// exactly the octets of the same calls made one after the other.

#include <chaosmix/cube.h>
#include <chaosmix/fold.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <latch>
#include <random>
#include <thread>
#include <vector>

namespace chaosmix {
namespace {

using Octets = std::vector<std::uint8_t>;

enum class Cipher { cube, foldGray, foldColour };

struct Job {
  Cipher cipher;
  std::size_t rows, columns;
  std::int32_t rounds;
  CipherKey key;
  Octets plain;
};

struct Outcome {
  Octets cipherText;
  Octets decrypted;
};

std::size_t planes(Cipher c) { return c == Cipher::foldColour ? 3 : 1; }

Outcome run(const Job& job) {
  Outcome out;
  switch (job.cipher) {
    case Cipher::cube:
      out.cipherText = cubeEncrypt(job.plain, job.rows, job.columns, job.rounds, job.key);
      out.decrypted = cubeDecrypt(out.cipherText, job.rows, job.columns, job.rounds, job.key);
      break;
    case Cipher::foldGray:
    case Cipher::foldColour: {
      const CellKind kind = job.cipher == Cipher::foldGray ? CellKind::gray : CellKind::colour;
      out.cipherText = foldEncrypt(job.plain, job.rows, job.columns, kind, job.rounds, job.key);
      out.decrypted =
          foldDecrypt(out.cipherText, job.rows, job.columns, kind, job.rounds, job.key);
      break;
    }
  }
  return out;
}

std::vector<Job> makeJobs(std::size_t count, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<Job> jobs;
  CipherKey sharedKey;
  for (auto& o : sharedKey) o = static_cast<std::uint8_t>(rng());
  for (std::size_t i = 0; i < count; ++i) {
    Job job;
    job.cipher = static_cast<Cipher>(i % 3);
    // Every fourth job shares a key and a cell count with the others of its kind.
    const bool shared = i % 4 == 0;
    job.rows = shared ? 48 : 8 + rng() % 90;
    job.columns = shared ? 40 : 8 + rng() % 90;
    job.rounds = static_cast<std::int32_t>(1 + rng() % 3);
    if (shared) {
      job.key = sharedKey;
    } else {
      for (auto& o : job.key) o = static_cast<std::uint8_t>(rng());
    }
    job.plain.resize(job.rows * job.columns * planes(job.cipher));
    for (auto& o : job.plain) o = static_cast<std::uint8_t>(rng());
    jobs.push_back(std::move(job));
  }
  return jobs;
}

TEST(ParallelCalls, ManyThreadsGiveTheSerialResults) {
  constexpr std::size_t kThreads = 8;
  constexpr std::size_t kJobs = 48;
  const std::vector<Job> jobs = makeJobs(kJobs, 77);

  std::vector<Outcome> serial;
  for (const Job& job : jobs) serial.push_back(run(job));

  std::vector<Outcome> parallel(kJobs);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();  // all threads begin together, so the calls overlap
      for (std::size_t i = t; i < kJobs; i += kThreads) parallel[i] = run(jobs[i]);
    });
  }
  for (auto& th : threads) th.join();

  for (std::size_t i = 0; i < kJobs; ++i) {
    SCOPED_TRACE(testing::Message() << "job " << i << ": cipher "
                                    << static_cast<int>(jobs[i].cipher) << ", " << jobs[i].rows
                                    << " x " << jobs[i].columns);
    EXPECT_EQ(parallel[i].cipherText, serial[i].cipherText);
    EXPECT_EQ(parallel[i].decrypted, serial[i].decrypted);
    EXPECT_NE(parallel[i].cipherText, jobs[i].plain);
  }
}

TEST(ParallelCalls, RoundTripsHoldWhenAllThreadsShareKeyAndSize) {
  // Every thread works on the same cell count with the same key at once, each cipher on two
  // threads, with its own image.
  constexpr std::size_t kThreads = 6;
  std::vector<Job> jobs = makeJobs(kThreads, 91);
  for (std::size_t t = 0; t < kThreads; ++t) {
    jobs[t].cipher = static_cast<Cipher>(t % 3);
    jobs[t].rows = 30;
    jobs[t].columns = 20;
    jobs[t].key = jobs[0].key;
    jobs[t].plain.resize(jobs[t].rows * jobs[t].columns * planes(jobs[t].cipher));
    for (std::size_t k = 0; k < jobs[t].plain.size(); ++k)
      jobs[t].plain[k] = static_cast<std::uint8_t>(k * (t + 3));
  }
  std::vector<Outcome> results(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int repeat = 0; repeat < 3; ++repeat) results[t] = run(jobs[t]);
    });
  }
  for (auto& th : threads) th.join();
  for (std::size_t t = 0; t < kThreads; ++t) {
    SCOPED_TRACE(testing::Message() << "thread " << t);
    EXPECT_EQ(results[t].cipherText, run(jobs[t]).cipherText);
    if (jobs[t].cipher != Cipher::cube || cubePermutationReach(600, jobs[t].key).oneToOne) {
      EXPECT_EQ(results[t].decrypted, jobs[t].plain);
    }
  }
}

}  // namespace
}  // namespace chaosmix
