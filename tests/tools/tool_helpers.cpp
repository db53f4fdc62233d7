// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool_helpers.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string Slurp(const std::string& Name)
{
    std::ifstream f(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void Spit(const std::string& Name, const std::string& Content)
{
    std::ofstream(Name, std::ios::binary) << Content;
}

void ToolTest::SetUp()
{
    Dir = Temp.FilePath("work");
    Tmp = Temp.Path();
    ASSERT_EQ(::mkdir(Dir.c_str(), 0700), 0);
}

std::vector<std::string> ToolTest::Files(const std::string& D)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(D.c_str());
    while (dirent* e = d ? ::readdir(d) : nullptr)
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
            names.push_back(e->d_name);
    if (d)
        ::closedir(d);
    return names;
}

ToolResult ToolTest::Run(const std::string& Args, const std::string& Env)
{
    ToolResult r;
    const auto start = std::chrono::steady_clock::now();
    const std::string cmd = Env + " TMPDIR=" + Tmp + " " + Tool + " " + Args + " >" + Dir + "/out.txt 2>" + Dir +
                            "/err.txt";
    const int status = std::system(cmd.c_str());
    r.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = Slurp(Dir + "/out.txt");
    r.Err = Slurp(Dir + "/err.txt");
    ::unlink((Dir + "/out.txt").c_str());
    ::unlink((Dir + "/err.txt").c_str());
    return r;
}
