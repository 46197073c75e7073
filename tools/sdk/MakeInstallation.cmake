# Makes the SDK's installation file install.lst and its data file install.dat in OUTPUT,
# from the files this build produced (run by the target sdk_installation):
#   cmake -DOUTPUT=... -DVERSION=... -DWIZARD=... -DINSTALLER=... -DMAKMAKE=... -DZOLVMBM=...
#         -DEPOC=... -DENGINE=... -DPLATFORM=... -DENGINE_HEADER=... -DPLATFORM_INCLUDE=...
#         -DTEMPLATES=... -DDOCS=... [-DDEMO=folder] [-DENGINE_SONAME=name]
#         [-DPLATFORM_SONAME=name] -P MakeInstallation.cmake
#
# The data file is the concatenation of every listed file's bytes, packages in order and
# files in order, exactly as the installer reads it. Links are followed: the bytes of what
# a link names are shipped, never the link. Programs and libraries lose the build tree's
# run-time search path; those that need the platform library find it beside themselves.
cmake_minimum_required(VERSION 3.21)

foreach(v OUTPUT VERSION WIZARD INSTALLER MAKMAKE ZOLVMBM EPOC ENGINE PLATFORM ENGINE_HEADER
        PLATFORM_INCLUDE TEMPLATES DOCS)
  if("${${v}}" STREQUAL "")
    message(FATAL_ERROR "MakeInstallation: ${v} is not set")
  endif()
endforeach()

set(company "Kestrelon")
set(product "Zolvane Engine C++ SDK")
set(datafile "install.dat")
set(linkfolder "Zolvane Engine C++ SDK")
# Work files sit beside the installation folder, which holds only the two files.
get_filename_component(work "${OUTPUT}" DIRECTORY)
set(stage "${work}/stage")
set(inputs "${work}/installation-inputs.txt")

# The entries of the two packages: parallel lists of the path below the package's target
# directory (Windows form), the host file that holds the bytes, and what becomes of a
# program's or library's run-time search path: "origin" (its own folder), "apps" (the
# SDK's library folder, four levels up from an application's folder) or "-" (a file that
# is shipped as it is).
foreach(package utilities engine)
  set(${package}_paths "")
  set(${package}_sources "")
  set(${package}_searches "")
endforeach()

function(add_entry package path source search)
  list(APPEND ${package}_paths "${path}")
  list(APPEND ${package}_sources "${source}")
  list(APPEND ${package}_searches "${search}")
  foreach(v paths sources searches)
    set(${package}_${v} "${${package}_${v}}" PARENT_SCOPE)
  endforeach()
endfunction()

# Adds every file below aFolder (links followed), in name order, under aPrefix.
function(add_tree package folder prefix search)
  if(NOT IS_DIRECTORY "${folder}")
    return()
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false FOLLOW_SYMLINKS RELATIVE "${folder}" "${folder}/*")
  list(SORT files)
  foreach(f ${files})
    string(REPLACE "/" "\\" path "${prefix}${f}")
    add_entry(${package} "${path}" "${folder}/${f}" "${search}")
  endforeach()
  foreach(v paths sources searches)
    set(${package}_${v} "${${package}_${v}}" PARENT_SCOPE)
  endforeach()
endfunction()

# A program linked against a library records the library's own name (its soname, which
# may carry a version), and the loader looks for that name: each library also goes under
# it (ENGINE_SONAME, PLATFORM_SONAME).
set(engine_names Zolvane.dll Zolvane.lib libZolvane.so ${ENGINE_SONAME})
list(REMOVE_DUPLICATES engine_names)
set(platform_names libzsymbian.so ${PLATFORM_SONAME})
list(REMOVE_DUPLICATES platform_names)

# Package 1: the utilities. The wizard finds its templates and makmake.bat beside itself;
# epoc and zolvmbm find the platform library beside themselves.
add_entry(utilities "ZolvWizard" "${WIZARD}" origin)
add_entry(utilities "makmake.bat" "${MAKMAKE}" origin)
add_entry(utilities "ZolvInstall" "${INSTALLER}" origin)
add_entry(utilities "epoc" "${EPOC}" origin)
add_entry(utilities "zolvmbm" "${ZOLVMBM}" origin)
foreach(name ${platform_names})
  add_entry(utilities "${name}" "${PLATFORM}" origin)
endforeach()
add_entry(utilities "install.lst" "${stage}/install.lst" -)
add_tree(utilities "${TEMPLATES}" "Templates\\" -)
file(GLOB docs LIST_DIRECTORIES false "${DOCS}/*.md")
list(SORT docs)
set(doc_paths "")
set(doc_titles "")
foreach(doc ${docs})
  get_filename_component(name "${doc}" NAME)
  add_entry(utilities "Docs\\${name}" "${doc}" -)
  # The shortcut is named after the document's first heading.
  file(STRINGS "${doc}" heading LIMIT_COUNT 1 REGEX "^# " ENCODING UTF-8)
  string(REGEX REPLACE "^# +" "" heading "${heading}")
  # Characters a file name or the installer's code page cannot carry are left out.
  string(REGEX REPLACE "[`\\\\/:*?\"<>|;]" "" heading "${heading}")
  string(REGEX REPLACE "[^ -~]" "" heading "${heading}")
  string(REGEX REPLACE "  +" " " heading "${heading}")
  string(STRIP "${heading}" heading)
  if(heading STREQUAL "")
    get_filename_component(heading "${doc}" NAME_WE)
  endif()
  # Start-menu shortcuts for the documents a user starts from (SHORTCUT_DOCS), or for
  # every document when no list is given; one question per shortcut is asked.
  if(DEFINED SHORTCUT_DOCS AND NOT name IN_LIST SHORTCUT_DOCS)
    continue()
  endif()
  list(APPEND doc_paths "Docs\\${name}")
  list(APPEND doc_titles "${heading}")
endforeach()

# Package 2: the engine in the Symbian SDK. The engine library under its Windows names and
# under the name that programs linked against it load at run time.
add_entry(engine "Epoc32\\Include\\Zolvane.h" "${ENGINE_HEADER}" -)
add_tree(engine "${PLATFORM_INCLUDE}" "Epoc32\\Include\\" -)
foreach(name ${engine_names})
  add_entry(engine "Epoc32\\Release\\wins\\udeb\\${name}" "${ENGINE}" origin)
endforeach()
foreach(name ${platform_names})
  add_entry(engine "Epoc32\\Release\\wins\\udeb\\${name}" "${PLATFORM}" origin)
endforeach()
if(NOT "${DEMO}" STREQUAL "")
  add_tree(engine "${DEMO}" "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\" apps)
endif()

# Every path must survive the installation file's plain-text syntax and the installer's
# code page: printable ASCII without element brackets or characters Windows refuses.
foreach(path ${utilities_paths} ${engine_paths})
  if(NOT path MATCHES "^[ -~]+$" OR path MATCHES "[<>:*?\"|]" OR path MATCHES "^\\\\"
     OR path MATCHES "(^|\\\\)\\.\\.?(\\\\|$)")
    message(FATAL_ERROR "MakeInstallation: cannot ship a file named \"${path}\"")
  endif()
endforeach()

# Nothing to do when no input changed since the last run.
set(signature "${CMAKE_CURRENT_LIST_FILE} ${VERSION}\n")
foreach(source ${utilities_sources} ${engine_sources} ${CMAKE_CURRENT_LIST_FILE})
  string(FIND "${source}" "${stage}/" in_stage)
  if(NOT in_stage EQUAL 0)
    file(TIMESTAMP "${source}" stamp "%Y-%m-%dT%H:%M:%S.%f" UTC)
    file(SIZE "${source}" size)
    string(APPEND signature "${source} ${size} ${stamp}\n")
  endif()
endforeach()
string(APPEND signature "${utilities_paths}\n${engine_paths}\n")
if(EXISTS "${inputs}" AND EXISTS "${OUTPUT}/install.lst" AND EXISTS "${OUTPUT}/${datafile}")
  file(READ "${inputs}" previous)
  if(previous STREQUAL signature)
    return()
  endif()
endif()

# Programs and libraries that carry a run-time search path are shipped as staged copies
# with the path changed; every other file is shipped as it is (the bytes of what a link
# names). Each source is staged once per kind of search path.
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
# The header-only installation file beside the installed ZolvInstall, so that the SDK can be
# removed from its own folder; it names no data file, so it cannot install anything.
file(WRITE "${stage}/install.lst"
  "<header><company>${company}</company><product>${product}</product>"
  "<version>${VERSION}</version></header>\n")

set(staged_keys "")
set(staged_files "")
function(stage_sources package)
  set(sources "")
  list(LENGTH ${package}_paths count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET ${package}_sources ${i} source)
    list(GET ${package}_searches ${i} search)
    file(REAL_PATH "${source}" source)
    if(NOT search STREQUAL "-")
      set(key "${search}:${source}")
      list(FIND staged_keys "${key}" known)
      if(known GREATER -1)
        list(GET staged_files ${known} source)
      else()
        unset(rpath)
        unset(runpath)
        unset(error)
        file(READ_ELF "${source}" RPATH rpath RUNPATH runpath CAPTURE_ERROR error)
        if("${error}" STREQUAL "" AND NOT "${rpath}${runpath}" STREQUAL "")
          list(LENGTH staged_keys n)
          get_filename_component(name "${source}" NAME)
          set(copy "${stage}/${n}/${name}")
          file(MAKE_DIRECTORY "${stage}/${n}")
          file(COPY_FILE "${source}" "${copy}")
          if(search STREQUAL "origin")
            file(RPATH_SET FILE "${copy}" NEW_RPATH "$ORIGIN")
          else()
            file(RPATH_SET FILE "${copy}" NEW_RPATH "$ORIGIN/../../../..")
          endif()
          set(source "${copy}")
        endif()
        list(APPEND staged_keys "${key}")
        list(APPEND staged_files "${source}")
      endif()
    endif()
    list(APPEND sources "${source}")
  endforeach()
  set(${package}_sources "${sources}" PARENT_SCOPE)
  set(staged_keys "${staged_keys}" PARENT_SCOPE)
  set(staged_files "${staged_files}" PARENT_SCOPE)
endfunction()
stage_sources(utilities)
stage_sources(engine)

# The installation file.
set(all_sources "")
function(package_text package name out)
  set(text "<package>\n<name>${name}</name>\n")
  list(LENGTH ${package}_paths count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET ${package}_paths ${i} path)
    list(GET ${package}_sources ${i} source)
    file(SIZE "${source}" size)
    string(APPEND text "<file>${path}</file><size>${size}</size>\n")
    list(APPEND all_sources "${source}")
  endforeach()
  set(all_sources "${all_sources}" PARENT_SCOPE)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

package_text(utilities "Utilities" utilities_text)
# Shortcuts: the wizard, then each document.
set(links "<linkfile>ZolvWizard</linkfile><linkname>Zolvane Application Wizard</linkname>"
          "<linkfolder>${linkfolder}</linkfolder>"
          "<linkdescription>Creates a new Zolvane engine application project</linkdescription>\n")
string(JOIN "" links ${links})
list(LENGTH doc_paths doc_count)
if(doc_count GREATER 0)
  math(EXPR last "${doc_count} - 1")
  foreach(i RANGE ${last})
    list(GET doc_paths ${i} path)
    list(GET doc_titles ${i} title)
    string(APPEND links "<linkfile>${path}</linkfile><linkname>${title}</linkname>"
           "<linkfolder>${linkfolder}</linkfolder>"
           "<linkdescription>Zolvane Engine C++ SDK documentation</linkdescription>\n")
  endforeach()
endif()
string(APPEND utilities_text "${links}</package>\n")
package_text(engine "Engine" engine_text)
string(APPEND engine_text "</package>\n")

set(list_text "<header><company>${company}</company><product>${product}</product>"
              "<version>${VERSION}</version><datafile>${datafile}</datafile></header>\n"
              "${utilities_text}${engine_text}")
string(JOIN "" list_text ${list_text})

# The data file, then the installation file, each written under a temporary name first.
file(MAKE_DIRECTORY "${OUTPUT}")
file(REMOVE "${inputs}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E cat ${all_sources}
                OUTPUT_FILE "${OUTPUT}/${datafile}.new" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "MakeInstallation: could not write ${OUTPUT}/${datafile}")
endif()
set(total 0)
foreach(source ${all_sources})
  file(SIZE "${source}" size)
  math(EXPR total "${total} + ${size}")
endforeach()
file(SIZE "${OUTPUT}/${datafile}.new" written)
if(NOT written EQUAL total)
  message(FATAL_ERROR "MakeInstallation: ${datafile} holds ${written} bytes, expected ${total}")
endif()
file(RENAME "${OUTPUT}/${datafile}.new" "${OUTPUT}/${datafile}")
file(WRITE "${OUTPUT}/install.lst.new" "${list_text}")
file(RENAME "${OUTPUT}/install.lst.new" "${OUTPUT}/install.lst")
file(WRITE "${inputs}" "${signature}")
list(LENGTH all_sources files)
message(STATUS "SDK installation: ${files} files, ${total} bytes, in ${OUTPUT}")
