// A job's store held by another process: this process is refused while the
// other runs, and when the other is killed in the middle of a page, the store
// opens again with every committed page and nothing of the interrupted one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

#include "engine/work_store.h"
#include "engine/work_store_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

namespace gleanery::testing {
namespace {

using ::testing::HasSubstr;

// Runs in the forked child, which never returns into the test framework.
// Tells the parent '1' once it holds the store idle, waits for a byte, then
// tells '2' once it is in the middle of a page, and waits to be killed.
[[noreturn]] void holdStore(const std::string& path, int toParent, int fromParent) {
    char step = '0';
    try {
        static WorkStore held;  // never destroyed: the child is killed holding it
        held.open(path, "");
        {
            WorkStore::Batch page(held);
            held.insertRoute("http://a.example/committed", "http://a.example/", 1);
            held.insertTarget("http://a.example/committed.zip", "http://a.example/", "/out/c.zip");
            page.commit();
        }
        step = '1';
        (void)!::write(toParent, &step, 1);
        (void)!::read(fromParent, &step, 1);
        static WorkStore::Batch unfinished(held);
        held.insertRoute("http://a.example/lost", "http://a.example/", 1);
        held.markRouteScanned(held.route("http://a.example/")->RouteID, 200);
        step = '2';
    } catch (...) {
        step = '0';
    }
    (void)!::write(toParent, &step, 1);
    for (;;) ::pause();
}

using WorkStoreOtherProcessTest = WorkStoreTest;

TEST_F(WorkStoreOtherProcessTest, RefusedWhileHeldAndIntactAfterAKill) {
    // Created here and closed again, so that this process keeps no state of the
    // file in memory and the refusal below comes from the other process's lock.
    openStore();
    store.insertRoute("http://a.example/", "", 1);
    store.close();

    int up[2];
    int down[2];
    ASSERT_EQ(::pipe(up), 0);
    ASSERT_EQ(::pipe(down), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) holdStore(storePath(), up[1], down[0]);
    char step = 0;
    bool refused = false;
    if (::read(up[0], &step, 1) == 1 && step == '1') {
        try {
            store.open(storePath(), templatePath());
        } catch (const WorkStoreError& e) {
            refused = true;
            EXPECT_THAT(e.what(), HasSubstr("The job is in use"));
        }
        (void)!::write(down[1], &step, 1);
        (void)!::read(up[0], &step, 1);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (int fd : {up[0], up[1], down[0], down[1]}) ::close(fd);
    ASSERT_EQ(step, '2') << "the other process could not use the store";
    EXPECT_TRUE(refused);

    openStore();
    EXPECT_TRUE(store.route("http://a.example/committed"));
    EXPECT_TRUE(store.target("http://a.example/committed.zip"));
    EXPECT_FALSE(store.route("http://a.example/lost"));
    EXPECT_FALSE(store.route("http://a.example/")->Scanned);
    EXPECT_EQ(store.countRoutes(), 2);
}

}  // namespace
}  // namespace gleanery::testing
