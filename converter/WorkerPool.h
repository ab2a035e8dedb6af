#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of threads that run submitted jobs in order of submission. The
// same threads serve every picture, so a long list costs no thread start-ups
// and no more memory than a short one.
class WorkerPool
{
public:
    explicit WorkerPool(unsigned threads)
    {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { work(); });
    }

    // Jobs not yet started are dropped: their futures report a broken promise.
    ~WorkerPool()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        for (std::thread &thread : m_threads)
            thread.join();
    }

    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;

    template <typename Job>
    auto submit(Job job) -> std::future<decltype(job())>
    {
        auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
        auto result = task->get_future();
        {
            const std::lock_guard lock(m_mutex);
            m_queue.emplace_back([task] { (*task)(); });
        }
        m_wake.notify_one();
        return result;
    }

private:
    void work()
    {
        while (true) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
                if (m_stopping)
                    return;
                job = std::move(m_queue.front());
                m_queue.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
