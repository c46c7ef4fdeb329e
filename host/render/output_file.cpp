#include "host/render/output_file.h"

output_file_t::output_file_t(const std::string &path)
{
    std::string error;
    if (!output_open(path, &target_, &error))
        throw write_failure_t{error};
}

void output_file_t::commit()
{
    std::string error;
    if (!output_commit(&target_, &error))
        throw write_failure_t{error};
}
