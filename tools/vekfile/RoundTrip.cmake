# Runs vekfile generate, resave, dump, compress and decompress and checks
# what they leave.
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(rc "${rc}" PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
function(expect_ok)
  run(${ARGN})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()
function(expect_same a b)
  file(SHA256 "${a}" ha)
  file(SHA256 "${b}" hb)
  if(NOT ha STREQUAL hb)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()

expect_ok(${VEKFILE} generate --tasks 300 --positions 12 --absences 40 --seed 5 "${DIR}/packed.vek")
expect_ok(${VEKFILE} resave "${DIR}/packed.vek" "${DIR}/packed2.vek")
expect_same("${DIR}/packed.vek" "${DIR}/packed2.vek")

expect_ok(${VEKFILE} text "${DIR}/packed.vek")
string(REPLACE "Komprimiert=1" "Komprimiert=0" plain "${out}")
file(WRITE "${DIR}/plain.txt" "${plain}")
expect_ok(${VEKFILE} resave "${DIR}/plain.txt" "${DIR}/plain.vek")
expect_ok(${VEKFILE} resave "${DIR}/plain.vek" "${DIR}/plain2.vek")
expect_same("${DIR}/plain.vek" "${DIR}/plain2.vek")

expect_ok(${VEKFILE} decompress "${DIR}/packed.vek" "${DIR}/raw.txt")
expect_ok(${VEKFILE} compress "${DIR}/raw.txt" "${DIR}/again.vek")
expect_same("${DIR}/packed.vek" "${DIR}/again.vek")
run(${VEKFILE} decompress "${DIR}/raw.txt" "${DIR}/bad.out")
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "a plain text decompressed with status ${rc}")
endif()

expect_ok(${VEKFILE} dump "${DIR}/packed.vek")
foreach(key "\"version\"" "\"positions\"" "\"holidays\"" "\"tbExclude\"" "\"overlapping\"" "\"shownRow\"" "Karfreitag")
  string(FIND "${out}" "${key}" at)
  if(at LESS 0)
    message(FATAL_ERROR "dump lacks ${key}")
  endif()
endforeach()
run(${VEKFILE} dump "${DIR}/missing.vek")
if(NOT rc EQUAL 1)
  message(FATAL_ERROR "dump of a missing file ended with status ${rc}")
endif()

# A plan years ahead: dump settles it as the window does, so the task from
# the Thursday before Good Friday 2040 ends on the Tuesday after Easter
# Monday, not on Good Friday.
file(WRITE "${DIR}/ahead.vek" "[VEK]\nVersion=2\nSubVersion=9\n[tbTable]\nColCount=6\nRowCount=1\n"
  "[tbTableConnections]\nPosition=0\nStart=1\nEnd=2\nLength=3\nColor=4\nTextCenterMiddle=5\n"
  "[tbTableHeader]\nCaption0=Position\nType0=2\nStrings0=Anna\nCaption1=Start\nType1=1\nCaption2=End\nType2=1\n"
  "Caption3=Length\nType3=3\nCaption4=State\nType4=2\nCaption5=Comment\n"
  "[Public Holiday]\nCount=2\nItem0name=Karfreitag\nItem0day=-2\nItem0enabled=1\nItem0easter=1\n"
  "Item1name=Ostermontag\nItem1day=1\nItem1enabled=1\nItem1easter=1\n"
  "[tbTableItem0]\n0=Anna\n1=29.03.2040\n3=2\n")
expect_ok(${VEKFILE} dump "${DIR}/ahead.vek")
string(FIND "${out}" "\"03.04.2040\"" at)
if(at LESS 0)
  message(FATAL_ERROR "the task before Good Friday 2040 does not end on 3 April:\n${out}")
endif()

# Damaged files: every command that loads refuses them with a message.
execute_process(COMMAND sh -c "head -c -1 '${DIR}/packed.vek' > '${DIR}/cut.vek'
  cp '${DIR}/packed.vek' '${DIR}/flipped.vek'
  printf '\\377\\377\\377\\177' | dd of='${DIR}/flipped.vek' bs=1 seek=0 conv=notrunc 2>/dev/null
  : > '${DIR}/empty.vek'
  printf 'PK\\003\\004\\000\\000[x\\377\\376garbage' > '${DIR}/garbage.vek'" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not make the damaged files")
endif()
foreach(name cut flipped empty garbage)
  foreach(command dump text)
    run(${VEKFILE} ${command} "${DIR}/${name}.vek")
    if(rc EQUAL 0 OR NOT err MATCHES "vekfile: .*${name}.vek")
      message(FATAL_ERROR "${command} of the ${name} file ended with status ${rc}: ${err}")
    endif()
  endforeach()
  run(${VEKFILE} resave "${DIR}/${name}.vek" "${DIR}/${name}-out.vek")
  if(rc EQUAL 0 OR EXISTS "${DIR}/${name}-out.vek")
    message(FATAL_ERROR "resave of the ${name} file ended with status ${rc}")
  endif()
endforeach()
