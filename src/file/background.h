#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <functional>

namespace tsuzuri {

// Runs `work` on the thread pool and hands its result to `done` on the
// user-interface thread; nothing arrives once `owner` is gone.
template <typename Result>
void runInBackground(QObject* owner, std::function<Result()> work, std::function<void(Result)> done,
                     QThreadPool* pool = QThreadPool::globalInstance()) {
    auto* watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, owner, [watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(pool, std::move(work)));
}

}  // namespace tsuzuri
