! Shows a 2-D field of a simulation in ravlon, scaled between its minimum
! (black) and its maximum (white):
!
!   show_field HOST [PORT]        (port 9999 by default)
program show_field
  use, intrinsic :: iso_fortran_env, only: error_unit
  use ravlon
  implicit none
  integer, parameter :: nx = 320, ny = 200
  real(c_double) :: f(nx, ny), lo, hi
  integer(c_int8_t) :: pix(nx, ny)
  character(len=256) :: host, arg
  integer :: port, i, j
  type(c_ptr) :: rv

  if (command_argument_count() < 1) then
    write (error_unit, '(a)') 'Usage: show_field host [port]'
    stop 2
  end if
  call get_command_argument(1, host)
  port = 9999
  if (command_argument_count() >= 2) then
    call get_command_argument(2, arg)
    read (arg, *) port
  end if

  ! A saddle around the middle of the grid; f(i, j) is the point at column
  ! i - 1 and row j - 1 of the picture.
  do j = 1, ny
    do i = 1, nx
      f(i, j) = real(i - 1 - nx / 2, c_double) * real(j - 1 - ny / 2, c_double)
    end do
  end do
  lo = minval(f)
  hi = maxval(f)
  pix = ravlon_byte(int(255 * (f - lo) / (hi - lo)))

  rv = ravlon_connect(trim(host) // c_null_char, int(port, c_int))
  if (.not. c_associated(rv)) then
    write (error_unit, '(2a)') 'show_field: ', ravlon_errmsg()
    stop 1
  end if
  if (ravlon_show_gray(rv, pix, nx, ny, int(nx, c_size_t)) /= 0) then
    write (error_unit, '(2a)') 'show_field: ', ravlon_errmsg()
    call ravlon_close(rv)
    stop 1
  end if
  call ravlon_close(rv)
end program
