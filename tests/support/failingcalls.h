#pragma once

// The process's own file calls, counted by kind, with any one of them made
// to fail on demand: the n-th call of a kind returns -1 with a chosen errno.

#include "safefile.h"

#include <cerrno>
#include <map>
#include <string>

class FailingCalls : public FileCalls
{
public:
    // The `nth` call (from 1) of `kind` fails with `error`; 0 fails none.
    void failAt(const std::string &kind, int nth, int error = ENOSPC)
    {
        m_failKind = kind;
        m_failAt = nth;
        m_error = error;
        m_counts.clear();
        m_failed = false;
    }
    // Writes return at most this many bytes at a time.
    void limitWrites(size_t most) { m_writeLimit = most; }
    int count(const std::string &kind) const
    {
        const auto it = m_counts.find(kind);
        return it == m_counts.end() ? 0 : it->second;
    }
    bool failed() const { return m_failed; }

    int stat(const char *path, struct ::stat *info) override
    {
        return fails("stat") ? -1 : FileCalls::stat(path, info);
    }
    int open(const char *path, int flags, mode_t mode) override
    {
        return fails("open") ? -1 : FileCalls::open(path, flags, mode);
    }
    int fstat(int fd, struct ::stat *info) override
    {
        return fails("fstat") ? -1 : FileCalls::fstat(fd, info);
    }
    ssize_t read(int fd, void *buffer, size_t size) override
    {
        return fails("read") ? -1 : FileCalls::read(fd, buffer, size);
    }
    ssize_t write(int fd, const void *data, size_t size) override
    {
        return fails("write") ? -1 : FileCalls::write(fd, data, std::min(size, m_writeLimit));
    }
    int fsync(int fd) override { return fails("fsync") ? -1 : FileCalls::fsync(fd); }
    int fchmod(int fd, mode_t mode) override
    {
        return fails("fchmod") ? -1 : FileCalls::fchmod(fd, mode);
    }
    int close(int fd) override
    {
        // The descriptor is closed either way, as the system does.
        const int result = FileCalls::close(fd);
        return fails("close") ? -1 : result;
    }
    int rename(const char *from, const char *to) override
    {
        return fails("rename") ? -1 : FileCalls::rename(from, to);
    }
    int unlink(const char *path) override { return fails("unlink") ? -1 : FileCalls::unlink(path); }
    int flock(int fd, int operation) override
    {
        return fails("flock") ? -1 : FileCalls::flock(fd, operation);
    }
    int access(const char *path, int mode) override
    {
        return fails("access") ? -1 : FileCalls::access(path, mode);
    }

private:
    bool fails(const std::string &kind)
    {
        if (++m_counts[kind] != m_failAt || kind != m_failKind)
            return false;
        m_failed = true;
        errno = m_error;
        return true;
    }

    std::map<std::string, int> m_counts;
    std::string m_failKind;
    int m_failAt = 0;
    int m_error = ENOSPC;
    size_t m_writeLimit = SIZE_MAX;
    bool m_failed = false;
};
