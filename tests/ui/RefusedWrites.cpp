#include "RefusedWrites.h"

#include <gtest/gtest.h>

RefusedWrites::RefusedWrites() {
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &m_previousLimit), 0);
    rlimit tiny = m_previousLimit;
    tiny.rlim_cur = 1;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
}

RefusedWrites::~RefusedWrites() {
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &m_previousLimit), 0);
    std::signal(SIGXFSZ, m_previousHandler);
}
